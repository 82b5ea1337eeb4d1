#include "ServiceRegistration.h"

#include "AppFolders.h"
#include "dbus/WrenlogBus.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ServiceRegistration {

QString serviceFolder()
{
    return AppFolders::dataHome() + QStringLiteral("/dbus-1/services");
}

QString serviceFilePath()
{
    return serviceFolder() + QLatin1Char('/') + QString::fromLatin1(WrenlogBus::serviceName)
        + QStringLiteral(".service");
}

QString serviceFileText(const QString &executable)
{
    // The bus splits Exec like a shell; quote what would be split or expanded.
    QString program = executable;
    static const QString special = QStringLiteral(" \t\"'\\$`");
    if (std::any_of(program.cbegin(), program.cend(), [](QChar c) { return special.contains(c); })) {
        program.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        program.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        program.replace(QLatin1Char('$'), QStringLiteral("\\$"));
        program.replace(QLatin1Char('`'), QStringLiteral("\\`"));
        program = QLatin1Char('"') + program + QLatin1Char('"');
    }
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 --automation\n")
        .arg(QString::fromLatin1(WrenlogBus::serviceName), program);
}

bool registerService(const QString &executable, QString *errorText)
{
    if (!QDir().mkpath(serviceFolder())) {
        if (errorText)
            *errorText = QStringLiteral("cannot create %1").arg(serviceFolder());
        return false;
    }
    QSaveFile file(serviceFilePath());
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorText)
            *errorText = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    file.write(serviceFileText(executable).toUtf8());
    if (!file.commit()) {
        if (errorText)
            *errorText = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

bool unregisterService(QString *errorText)
{
    QFile file(serviceFilePath());
    if (!file.exists() || file.remove())
        return true;
    if (errorText)
        *errorText = QStringLiteral("cannot remove %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

} // namespace ServiceRegistration
