#include "wrenlog/GlobalWindow.h"

#include "wrenlog/BusCall.h"

namespace Wrenlog {

GlobalWindow::GlobalWindow(const QDBusConnection &bus)
    : m_bus(bus)
{
    WrenlogBus::registerTypes();
}

void GlobalWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    BusCall::call(m_bus, QString::fromLatin1(WrenlogBus::globalWindowPath),
                  QString::fromLatin1(WrenlogBus::globalWindowInterface), QStringLiteral("DebugPrint"),
                  {Text, Colour, CrLF});
}

void GlobalWindow::DebugShow(const QString &Pass)
{
    BusCall::call(m_bus, QString::fromLatin1(WrenlogBus::globalWindowPath),
                  QString::fromLatin1(WrenlogBus::globalWindowInterface), QStringLiteral("DebugShow"), {Pass});
}

void GlobalWindow::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    BusCall::call(m_bus, QString::fromLatin1(WrenlogBus::globalWindowPath),
                  QString::fromLatin1(WrenlogBus::batchInterface), QStringLiteral("DebugPrintMany"),
                  {QVariant::fromValue(Pieces)});
}

} // namespace Wrenlog
