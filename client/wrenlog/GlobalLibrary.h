#pragma once

#include <QDBusConnection>

class QWidget;

namespace Wrenlog {

/**
 * The server's small window functions, reached over the session bus. Window
 * handles are X11 window ids (QWidget::winId() of a top-level window);
 * positions and sizes are in twips.
 *
 *     Wrenlog::GlobalLibrary library;
 *     if (library.ShowMessage(4, QString(), QStringLiteral("Go on?")) == 6) ...
 */
class GlobalLibrary
{
public:
    explicit GlobalLibrary(const QDBusConnection &bus = QDBusConnection::sessionBus());

    /// Waits as long as the message box stays open.
    qint32 ShowMessage(qint32 WindowType, const QString &Caption, const QString &Text);
    void MakeTranslucent(quint64 hWnd);
    void ClearTranslucency(quint64 hWnd);
    void FormOnTop(bool bOnTop, quint64 hWnd, qint32 Left, qint32 Top, qint32 Width, qint32 Height);
    /// The same for one of the caller's own windows, at its current geometry.
    void FormOnTop(bool bOnTop, QWidget *frmForm);

private:
    QDBusConnection m_bus;
};

} // namespace Wrenlog
