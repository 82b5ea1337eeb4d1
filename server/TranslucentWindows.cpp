#include "TranslucentWindows.h"

#include "Guard.h"
#include "Twips.h"
#include "X11Windows.h"

#include <QGuiApplication>
#include <QWindow>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

std::optional<bool> &supportOverride()
{
    static std::optional<bool> value;
    return value;
}

// Marks a widget of ours whose opacity we lowered, so a clear can tell it.
const char *const layeredProperty = "wl_layered";

QWidget *ownTopLevel(WId hWnd)
{
    QWidget *widget = hWnd ? QWidget::find(hWnd) : nullptr;
    while (widget && widget->parentWidget() && widget->parentWidget()->isVisible())
        widget = widget->parentWidget();
    return widget;
}

} // namespace

namespace TranslucentWindows {

bool IsOpacitySupported()
{
    return passOn(QStringLiteral("IsWin2k"), [] {
        if (supportOverride())
            return *supportOverride();
        const QString platform = QGuiApplication::platformName();
        // Wayland compositors leave a client's opacity alone (the server runs
        // through XWayland wherever an X server is there, see MainModule).
        if (platform == QLatin1String("offscreen"))
            return true;
        if (platform == QLatin1String("xcb"))
            return X11Windows::compositingManagerRunning();
        return false;
    });
}

void overrideOpacitySupport(std::optional<bool> supported)
{
    supportOverride() = supported;
}

WId GetTopLevel(WId hWnd)
{
    return passOn(QStringLiteral("GetTopLevel"), [&]() -> WId {
        if (QWidget *widget = ownTopLevel(hWnd))
            return widget->winId();
        return X11Windows::topLevelOf(hWnd);
    });
}

bool SetWindowTranslucency(WId hWnd, int alpha)
{
    return passOn(QStringLiteral("SetWindowTranslucency"), [&] {
        if (!IsOpacitySupported())
            return false;
        const double opacity = std::clamp(alpha, 0, 255) / 255.0;
        if (QWidget *widget = ownTopLevel(hWnd)) {
            widget->setWindowOpacity(opacity);
            widget->setProperty(layeredProperty, true);
            return true;
        }
        return X11Windows::setOpacity(hWnd, opacity);
    });
}

bool ClearWindowTranslucency(WId hWnd)
{
    return passOn(QStringLiteral("ClearWindowTranslucency"), [&] {
        if (!IsOpacitySupported())
            return false;
        if (QWidget *widget = ownTopLevel(hWnd)) {
            widget->setWindowOpacity(1.0);
            widget->setProperty(layeredProperty, false);
            return true;
        }
        return X11Windows::clearOpacity(hWnd);
    });
}

bool IsTranslucent(WId hWnd)
{
    QWidget *widget = ownTopLevel(hWnd);
    return widget && widget->property(layeredProperty).toBool() && widget->windowOpacity() < 1.0;
}

} // namespace TranslucentWindows

namespace {

void applyTopmost(QWidget *window, bool bOnTop)
{
    const bool isOnTop = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    const bool wasShowingWithoutActivating = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    if (isOnTop != bOnTop) {
        const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, bOnTop);
        if (QWindow *native = window->windowHandle()) {
            // Switched in place on the window that exists (on X11 the state
            // _NET_WM_STATE_ABOVE of the mapped window): QWidget::setWindowFlags
            // would destroy and recreate it, so it would flicker, lose the
            // keyboard focus and change its id under programs that hold it.
            window->overrideWindowFlags(flags);
            native->setFlags(flags);
        } else {
            window->setWindowFlags(flags);
        }
    }
    // The call shows a hidden window, as the window function it stands for does.
    window->show();
    if (bOnTop)
        window->raise();
    window->setAttribute(Qt::WA_ShowWithoutActivating, wasShowingWithoutActivating);
}

int wholePixels(double twips, double perPixel)
{
    return int(std::trunc(twips / perPixel));
}

} // namespace

void FormOnTop(bool bOnTop, QWidget *form)
{
    passOn(QStringLiteral("FormOnTop"), [&] {
        if (!form)
            return;
        QWidget *window = form->window();
        // Windows that keep their bounds in twips get them back rounded to whole
        // pixels, as the window call they stand for does; the rest keep theirs.
        const QVariant left = window->property("Left");
        const QVariant top = window->property("Top");
        const QVariant width = window->property("Width");
        const QVariant height = window->property("Height");
        applyTopmost(window, bOnTop);
        if (left.isValid() && top.isValid() && width.isValid() && height.isValid()) {
            const double tx = Twips::perPixelX();
            const double ty = Twips::perPixelY();
            window->setProperty("Left", wholePixels(left.toDouble(), tx) * tx);
            window->setProperty("Top", wholePixels(top.toDouble(), ty) * ty);
            window->setProperty("Width", wholePixels(width.toDouble(), tx) * tx);
            window->setProperty("Height", wholePixels(height.toDouble(), ty) * ty);
        }
    });
}

bool FormOnTop(bool bOnTop, WId hWnd, qint32 left, qint32 top, qint32 width, qint32 height)
{
    return passOn(QStringLiteral("FormOnTop"), [&] {
        const double tx = Twips::perPixelX();
        const double ty = Twips::perPixelY();
        const QRect frame(wholePixels(left, tx), wholePixels(top, ty), wholePixels(width, tx), wholePixels(height, ty));
        if (QWidget *widget = hWnd ? QWidget::find(hWnd) : nullptr) {
            QWidget *window = widget->window();
            applyTopmost(window, bOnTop);
            window->move(frame.topLeft());
            const QSize frameExtra = window->frameGeometry().size() - window->size();
            window->resize(frame.size() - frameExtra);
            return true;
        }
        return X11Windows::setTopmost(hWnd, bOnTop, frame);
    });
}
