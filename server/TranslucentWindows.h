#pragma once

#include <QWidget>

#include <optional>

/**
 * Topmost and translucent windows.
 *
 * A window handle is a WId; handles of this process resolve to their widget.
 * The system calls behind these functions only ever report success or failure
 * through their Boolean results, as the window functions they stand for do.
 */
namespace TranslucentWindows {

/// Opacity of a translucent window, of 255.
constexpr int translucentAlpha = 128;
constexpr int opaqueAlpha = 255;

/// Whether the platform can make windows partly transparent: the offscreen
/// platform always, X11 only with a compositing manager running, Wayland
/// never (its compositors ignore a client's opacity).
bool IsOpacitySupported();
/// Forces the answer of IsOpacitySupported() (tests, and desktops that lie
/// about compositing); std::nullopt asks the platform again.
void overrideOpacitySupport(std::optional<bool> supported);

/// The visible top-level window reached by walking up from hWnd while the
/// parent is visible (0 when hWnd names no window of this process).
WId GetTopLevel(WId hWnd);
bool SetWindowTranslucency(WId hWnd, int alpha);
bool ClearWindowTranslucency(WId hWnd);

/// Whether the top-level window of hWnd is currently translucent.
bool IsTranslucent(WId hWnd);

} // namespace TranslucentWindows

/**
 * Makes a window topmost (bOnTop) or ends that, and re-applies its position
 * and size in twips; shows a hidden window without activating it.
 */
void FormOnTop(bool bOnTop, QWidget *form);
/// The same for a window given by handle and a rectangle in twips.
bool FormOnTop(bool bOnTop, WId hWnd, qint32 left, qint32 top, qint32 width, qint32 height);
