#include "TackpadLibrary.h"

#include "Tackpad.h"

QObject *TackpadLibrary::CreateObject(const QString &className)
{
    return className == QLatin1StringView("Tackpad") ? new Tackpad : nullptr;
}
