#pragma once

#include "dbus/WrenlogBus.h"
#include "WrenlogEnums.h"

#include <QDBusContext>
#include <QObject>
#include <QPointer>

class WrenlogMainForm;

/**
 * A debug window owned by one object: created hidden with it, without the
 * close and plug-in buttons and with a greyed Quit, and closed with it. The
 * user cannot close it; Release() (or the destructor) does.
 *
 *     PrivateWindow window;
 *     window.DebugShow();           // titled "Wrenlog ! - Private Window"
 *     window.DebugPrint(QStringLiteral("step 1"));
 */
class PrivateWindow : public QObject, public QDBusContext
{
    Q_OBJECT
public:
    explicit PrivateWindow(QObject *parent = nullptr);
    ~PrivateWindow() override;

    Q_INVOKABLE void DebugPrint(const QString &Text, qint32 Colour = wlogNormal, bool CrLF = true);
    Q_INVOKABLE void DebugShow(const QString &WindowName = QString::fromLatin1(WrenlogBus::defaultPrivateWindowName));
    /// Empties the text without asking anybody.
    Q_INVOKABLE void Clear();
    void DebugPrintMany(const QList<DebugPiece> &Pieces);
    /// Closes the window (saving its position); calls after it fail with 91.
    Q_INVOKABLE void Release();

    bool isReleased() const { return m_form.isNull(); }
    /// The window, or null once released.
    WrenlogMainForm *form() const;

signals:
    void released();

private:
    WrenlogMainForm *requireForm() const;

    QPointer<WrenlogMainForm> m_form;
};
