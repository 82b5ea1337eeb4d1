#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

/// Starts program once per argument list, all at the same time (writers
/// racing for one file), and waits for every run. Returns a line for each run
/// that did not finish or did not exit with code 0, naming its arguments and
/// error output; an empty list means every run succeeded. Without a timeout
/// (-1) it waits as long as the runs take: on a loaded machine that can be
/// long, and the test's own CTest timeout still ends a run that hangs.
QStringList runTogether(const QString &program, const QList<QStringList> &runs, int timeoutMs = -1);

} // namespace TestEnvironment
