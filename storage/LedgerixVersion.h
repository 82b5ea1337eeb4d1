#pragma once

#include <QString>

class QObject;

/**
 * The version report every class of the storage library gives through its
 * Version member.
 *
 *     return LedgerixVersion::report(this, bShow); // "2.0"
 *
 * With show set it first shows an information box titled
 * "Ledgerix2 - Version Information" reading "Ledgerix2 - 2.0.4", a CR, and
 * "Module: <class name> - 2.0".
 */
namespace LedgerixVersion {

inline constexpr int Major = 2;
inline constexpr int Minor = 0;
inline constexpr int Revision = 4;

/// The report's text for an object of the given class.
QString reportText(const QString &className);
/// Shows the report when show is set (the class name comes from the object's
/// meta-object) and returns the version text "2.0".
QString report(const QObject *object, bool show);

} // namespace LedgerixVersion
