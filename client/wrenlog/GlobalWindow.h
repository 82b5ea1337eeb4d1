#pragma once

#include "WrenlogBus.h"

#include <QDBusConnection>

namespace Wrenlog {

/// The four named styles; any colour reference 0x00BBGGRR (0 or more) works as well.
enum DetailTypeEnum : qint32 {
    wlogTitle = -1,
    wlogNormal = -2,
    wlogNote = -3,
    wlogFail = -4,
};

/**
 * The shared debug window of the server, reached over the session bus.
 * Nothing is created: every program that holds one prints into the same window.
 * Failures throw AutomationError.
 *
 *     Wrenlog::GlobalWindow window;
 *     window.DebugPrint(QStringLiteral("Build started"), Wrenlog::wlogTitle);
 */
class GlobalWindow
{
public:
    explicit GlobalWindow(const QDBusConnection &bus = QDBusConnection::sessionBus());

    void DebugPrint(const QString &Text, qint32 Colour = WrenlogBus::defaultColour,
                    bool CrLF = WrenlogBus::defaultCrLF);
    /// Shows the window; Pass is handed over and not used by the server.
    void DebugShow(const QString &Pass = {});
    /// Prints every piece as its own DebugPrint, in order, in one call.
    void DebugPrintMany(const QList<DebugPiece> &Pieces);

private:
    QDBusConnection m_bus;
};

} // namespace Wrenlog
