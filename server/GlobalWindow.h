#pragma once

#include "dbus/WrenlogBus.h"
#include "WrenlogEnums.h"

#include <QObject>

class WrenlogMainForm;

/**
 * The shared debug window as clients and plug-ins see it. Creating one loads
 * the shared window when it is not loaded and starts its plug-ins; however
 * many exist, they all print into that one window.
 *
 *     GlobalWindow window;
 *     window.DebugPrint(QStringLiteral("Scan finished"), wlogNote);
 *
 * The bus object /GlobalWindow creates one for every call it answers.
 *
 * When the user closes the window while the plug-ins are starting (the first
 * creation lets messages run), the call that object was created for belongs
 * to the closed window: it is dropped instead of loading a new window the
 * user has just dismissed. Later calls load the window again.
 */
class GlobalWindow : public QObject
{
    Q_OBJECT
public:
    explicit GlobalWindow(QObject *parent = nullptr);

    Q_INVOKABLE void DebugPrint(const QString &Text, qint32 Colour = wlogNormal, bool CrLF = true);
    /// Pass is accepted and not used.
    Q_INVOKABLE void DebugShow(const QString &Pass = {});
    /// Each piece printed as its own DebugPrint, in order.
    void DebugPrintMany(const QList<DebugPiece> &Pieces);

    /// The shared window, loaded when there is none; null for the one call
    /// whose window the user closed while it started.
    WrenlogMainForm *form();

private:
    bool m_closedWhileStarting = false;
};
