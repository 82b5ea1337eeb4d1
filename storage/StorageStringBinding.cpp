#include "StorageStringBinding.h"

#include "LedgerixErrors.h"
#include "RuntimeErrors.h"

#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>

namespace StorageStringBinding {

namespace {

QByteArray defaultPropertyName(const QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    const int info = meta->indexOfClassInfo("DefaultProperty");
    if (info >= 0)
        return meta->classInfo(info).value();
    const QMetaProperty user = meta->userProperty();
    return user.isValid() ? QByteArray(user.name()) : QByteArray();
}

bool hasProperty(const QObject *object, const QByteArray &name)
{
    return object->metaObject()->indexOfProperty(name.constData()) >= 0
        || object->dynamicPropertyNames().contains(name);
}

QByteArray existingProperty(const QObject *object, qint32 mode)
{
    const QByteArray name = propertyName(object, mode);
    if (name.isEmpty() || !hasProperty(object, name))
        RuntimeErrors::raise(RuntimeErrors::NotSupported, LedgerixErrors::libraryName());
    return name;
}

} // namespace

QByteArray propertyName(const QObject *object, qint32 mode)
{
    switch (mode) {
    case 1: return QByteArrayLiteral("Tag");
    case 2: return defaultPropertyName(object);
    case 3: return QByteArrayLiteral("Value");
    case 4: return QByteArrayLiteral("Caption");
    case 5: return QByteArrayLiteral("Text");
    default: return {};
    }
}

QString read(QObject *object, qint32 mode)
{
    const QByteArray name = existingProperty(object, mode);
    return object->property(name.constData()).toString();
}

void write(QObject *object, qint32 mode, const QString &text)
{
    const QByteArray name = existingProperty(object, mode);
    if (!object->setProperty(name.constData(), text) && object->metaObject()->indexOfProperty(name.constData()) >= 0)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
}

} // namespace StorageStringBinding
