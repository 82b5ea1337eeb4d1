#pragma once

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

} // namespace MainModule
