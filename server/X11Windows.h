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
bool setOpacity(WId window, double opacity);
bool clearOpacity(WId window);
/// Asks the window manager to keep the window above others (or not), then
/// moves it to frame (pixels) and maps it.
bool setTopmost(WId window, bool above, const QRect &frame);

} // namespace X11Windows
