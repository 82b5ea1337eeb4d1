#pragma once

#include <QByteArray>
#include <QString>

class QObject;

/**
 * Reaching the property a storage string mirrors on its bound object, by name
 * at run time: "Tag", the class's default property, "Value", "Caption" or
 * "Text". The default property is the one a class names with
 * Q_CLASSINFO("DefaultProperty", ...); a class that names none offers its
 * user property (QLineEdit's text, for example).
 */
namespace StorageStringBinding {

/// The property name for a bind mode, empty when the object has none.
QByteArray propertyName(const QObject *object, qint32 mode);
/// Raises run-time error 438 when the object has no such property.
QString read(QObject *object, qint32 mode);
/// Raises 438 for a missing property and 13 when the text does not fit it.
void write(QObject *object, qint32 mode, const QString &text);

} // namespace StorageStringBinding
