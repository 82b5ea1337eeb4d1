#pragma once

#include <QRect>
#include <QWidget>

/**
 * Window functions for windows of other processes on X11, through the
 * extended window-manager hints. Every function answers false (or 0) on other
 * platforms, or when the server has no X11 connection.
 */
namespace X11Windows {

bool compositingManagerRunning();
/// Walks up from window to the last ancestor below the root window.
WId topLevelOf(WId window);
/// The application's own top-level window holding window: the nearest window
/// up from it (itself included) that a window manager marked with WM_STATE,
/// else topLevelOf(window) (nothing manages it).
WId clientOf(WId window);
/// Sets (or removes) _NET_WM_WINDOW_OPACITY on the client window holding
/// window and on the frame a reparenting window manager put round it:
/// compositors read one or the other.
bool setOpacity(WId window, double opacity);
bool clearOpacity(WId window);
/// Asks the window manager to keep the window above others (or not), then
/// moves it to frame (pixels) and maps it.
bool setTopmost(WId window, bool above, const QRect &frame);

} // namespace X11Windows
