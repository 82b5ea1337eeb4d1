#pragma once

#include "WrenlogBus.h"

#include <QDBusConnection>

namespace Wrenlog {

/**
 * A debug window of the caller's own. The server creates it hidden with the
 * object and closes it when the object is released: by Release(), by the
 * destructor, or when the caller's bus connection goes away (a crash
 * included). Failures throw AutomationError; the destructor never throws.
 *
 *     Wrenlog::PrivateWindow window;
 *     window.DebugShow(QStringLiteral("Importer"));
 *     window.DebugPrint(QStringLiteral("42 rows"), Wrenlog::wlogNote);
 */
class PrivateWindow
{
public:
    explicit PrivateWindow(const QDBusConnection &bus = QDBusConnection::sessionBus());
    ~PrivateWindow();
    PrivateWindow(const PrivateWindow &) = delete;
    PrivateWindow &operator=(const PrivateWindow &) = delete;
    PrivateWindow(PrivateWindow &&other) noexcept;
    PrivateWindow &operator=(PrivateWindow &&other) noexcept;

    void DebugPrint(const QString &Text, qint32 Colour = WrenlogBus::defaultColour,
                    bool CrLF = WrenlogBus::defaultCrLF);
    /// Titles the window and shows it.
    void DebugShow(const QString &WindowName = QString::fromLatin1(WrenlogBus::defaultPrivateWindowName));
    /// Empties the text; plug-ins are not asked.
    void Clear();
    void DebugPrintMany(const QList<DebugPiece> &Pieces);
    /// Closes the window now; later calls fail with error 91.
    void Release();

    /// The window's object path on the bus (empty once released).
    QString objectPath() const { return m_path; }

private:
    QDBusMessage callWindow(const char *interface, const char *method, const QVariantList &arguments);

    QDBusConnection m_bus;
    QString m_path;
};

} // namespace Wrenlog
