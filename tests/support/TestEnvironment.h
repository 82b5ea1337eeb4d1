#pragma once

#include <QString>

/**
 * The private folders every test process runs in. TestMain points
 * XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR-independent caches and HOME
 * at a temporary folder before anything reads them, so no test touches the
 * real user's settings.
 */
namespace TestEnvironment {

/// The temporary root of this test process (removed when the process ends).
QString root();
/// A fresh empty sub-folder of root(), unique per call.
QString freshFolder(const QString &hint = QStringLiteral("case"));

} // namespace TestEnvironment
