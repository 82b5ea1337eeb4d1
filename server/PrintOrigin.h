#pragma once

#include <QString>

/**
 * Who is printing right now, for the plug-ins' PluginWindow::PrintSender:
 * a bus client as its process name and id ("make 4711"), a plug-in as its key
 * while the host runs one of its members or a click on one of its menu
 * entries, and "wrenlog" for everything else inside the server.
 *
 * Whoever hands control to code that may print opens a Scope for the time it
 * runs; scopes nest, and the innermost one answers.
 *
 *     PrintOrigin::Scope scope(key);
 *     plugin->Run();   // its prints come from key
 */
namespace PrintOrigin {

/// The server's own name, for prints nobody else is known to have made.
QString server();
QString current();

class Scope
{
public:
    /// An empty origin leaves the current one in place.
    explicit Scope(const QString &origin);
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    QString m_previous;
    bool m_set = false;
};

} // namespace PrintOrigin
