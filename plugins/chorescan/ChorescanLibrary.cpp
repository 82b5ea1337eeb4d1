#include "ChorescanLibrary.h"

#include "Chorescan.h"

QObject *ChorescanLibrary::CreateObject(const QString &className)
{
    return className == QLatin1StringView("Chorescan") ? new Chorescan : nullptr;
}
