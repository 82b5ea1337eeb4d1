#include "LedgerixVersion.h"

#include "LedgerixErrors.h"
#include "LedgerixStdInterface.h"
#include "MessageBox.h"

#include <QMetaObject>
#include <QObject>

namespace LedgerixVersion {

QString reportText(const QString &className)
{
    return QStringLiteral("%1 - %2.%3.%4\rModule: %5 - %6")
        .arg(LedgerixErrors::libraryName())
        .arg(Major)
        .arg(Minor)
        .arg(Revision)
        .arg(className, LedgerixStdInterface::versionText());
}

QString report(const QObject *object, bool show)
{
    if (show) {
        const QString className = object ? QString::fromLatin1(object->metaObject()->className()) : QString();
        MessageBox::show(MessageBox::Ok | MessageBox::IconInformation,
                         LedgerixErrors::libraryName() + QStringLiteral(" - Version Information"),
                         reportText(className));
    }
    return LedgerixStdInterface::versionText();
}

} // namespace LedgerixVersion
