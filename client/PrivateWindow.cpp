#include "wrenlog/PrivateWindow.h"

#include "RuntimeErrors.h"
#include "wrenlog/BusCall.h"

#include <QDBusObjectPath>

namespace Wrenlog {

PrivateWindow::PrivateWindow(const QDBusConnection &bus)
    : m_bus(bus)
{
    WrenlogBus::registerTypes();
    const QDBusMessage reply
        = BusCall::call(m_bus, QString::fromLatin1(WrenlogBus::privateWindowsPath),
                        QString::fromLatin1(WrenlogBus::privateWindowFactoryInterface), QStringLiteral("Create"), {});
    m_path = qdbus_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
    if (m_path.isEmpty()) {
        throw AutomationError(440, QStringLiteral("The server answered Create without a window"),
                              QString::fromLatin1(BusCall::clientSource));
    }
}

PrivateWindow::~PrivateWindow()
{
    if (m_path.isEmpty())
        return;
    // A failed release leaves nothing behind anyway: the server drops the
    // window with this connection at the latest.
    try {
        Release();
    } catch (...) {}
}

PrivateWindow::PrivateWindow(PrivateWindow &&other) noexcept
    : m_bus(other.m_bus)
    , m_path(std::exchange(other.m_path, QString()))
{}

PrivateWindow &PrivateWindow::operator=(PrivateWindow &&other) noexcept
{
    if (this != &other) {
        if (!m_path.isEmpty()) {
            try {
                Release();
            } catch (...) {}
        }
        m_bus = other.m_bus;
        m_path = std::exchange(other.m_path, QString());
    }
    return *this;
}

QDBusMessage PrivateWindow::callWindow(const char *interface, const char *method, const QVariantList &arguments)
{
    if (m_path.isEmpty())
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QString::fromLatin1(BusCall::clientSource));
    return BusCall::call(m_bus, m_path, QString::fromLatin1(interface), QString::fromLatin1(method), arguments);
}

void PrivateWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    callWindow(WrenlogBus::privateWindowInterface, "DebugPrint", {Text, Colour, CrLF});
}

void PrivateWindow::DebugShow(const QString &WindowName)
{
    callWindow(WrenlogBus::privateWindowInterface, "DebugShow", {WindowName});
}

void PrivateWindow::Clear()
{
    callWindow(WrenlogBus::privateWindowInterface, "Clear", {});
}

void PrivateWindow::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    callWindow(WrenlogBus::batchInterface, "DebugPrintMany", {QVariant::fromValue(Pieces)});
}

void PrivateWindow::Release()
{
    callWindow(WrenlogBus::privateWindowInterface, "Release", {});
    m_path.clear();
}

} // namespace Wrenlog
