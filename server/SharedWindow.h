#pragma once

#include <QObject>
#include <QPointer>

class WrenlogMainForm;

/**
 * Keeps the one shared debug window of the process: the default instance of
 * WrenlogMainForm that every GlobalWindow prints into. The window is loaded
 * on first use; once the user has closed it, the next use loads a new one.
 */
class SharedWindow : public QObject
{
    Q_OBJECT
public:
    static SharedWindow &instance();

    /// The loaded shared window, or null.
    WrenlogMainForm *form() const;
    /// The shared window, created and loaded when there is none.
    WrenlogMainForm *ensureLoaded();

signals:
    void loaded();
    /// The user closed the shared window.
    void unloaded();

private:
    SharedWindow() = default;
    QPointer<WrenlogMainForm> m_form;
};
