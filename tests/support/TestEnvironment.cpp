#include "TestEnvironment.h"

#include <QAtomicInt>
#include <QDir>

namespace {
QString g_root;
QAtomicInt g_counter;
} // namespace

namespace TestEnvironment {

void setRoot(const QString &root)
{
    g_root = root;
}

QString root()
{
    return g_root;
}

QString freshFolder(const QString &hint)
{
    const QString path = QStringLiteral("%1/%2-%3").arg(g_root, hint).arg(g_counter.fetchAndAddRelaxed(1));
    QDir().mkpath(path);
    return path;
}

} // namespace TestEnvironment
