#include "LookoutLibrary.h"

#include "Lookout.h"

QObject *LookoutLibrary::CreateObject(const QString &className)
{
    return className == QLatin1StringView("Lookout") ? new Lookout : nullptr;
}
