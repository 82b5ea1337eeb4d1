#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

/**
 * Start-up of the wrenlog executable.
 *
 *     wrenlog               open the shared debug window (nothing when one runs already)
 *     wrenlog --automation  started by the session bus for a client: wait for calls
 *     wrenlog --register    write the bus service file, --unregister remove it
 *
 * The process ends when no debug window is loaded and no client holds a
 * private window.
 */
namespace MainModule {

int Main(int argc, char **argv);

/// Gives the running application the server's title, "Wrenlog" (the caption
/// of its error dialog, the first source line of its errors, the program part
/// of its window-position key), and makes the error dialog show what its
/// window handlers trap. Main calls it first thing after making the QApplication.
void setUpApplication();

/// The platform the server asks Qt for in this environment: "xcb" in a
/// Wayland session that also offers an X server (XWayland), unless the user
/// chose one with QT_QPA_PLATFORM; empty leaves the choice to Qt. Wayland
/// compositors let no client keep its window on top or change its opacity,
/// the window's reason to exist; through XWayland they honour both.
QByteArray platformFor(const QProcessEnvironment &environment);

} // namespace MainModule
