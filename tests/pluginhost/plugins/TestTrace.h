#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QVariant>

// The test plug-ins write what happens to them into one list kept on the
// application object, which the tests read back: "Key:What" per line.
inline void trace(const QString &line)
{
    QStringList lines = qApp->property("pluginTrace").toStringList();
    lines.append(line);
    qApp->setProperty("pluginTrace", lines);
}
