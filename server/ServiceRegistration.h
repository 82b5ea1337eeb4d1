#pragma once

#include <QString>

/**
 * The D-Bus service file that lets the session bus start the server for a
 * client: org.wrenlog.Wrenlog.service in $XDG_DATA_HOME/dbus-1/services
 * (~/.local/share/dbus-1/services when unset), running this executable with
 * --automation.
 */
namespace ServiceRegistration {

QString serviceFolder();
QString serviceFilePath();
/// The file's text for the given executable.
QString serviceFileText(const QString &executable);

/// Writes the file (atomically); false with a message when it cannot.
bool registerService(const QString &executable, QString *errorText);
/// Removes the file; succeeds when it is already gone.
bool unregisterService(QString *errorText);

} // namespace ServiceRegistration
