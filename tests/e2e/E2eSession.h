#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

/**
 * A desktop of its own for one test: a virtual display (Xvfb), a private
 * session bus whose service folder holds the file that `wrenlog --register`
 * wrote, and folders for settings. The server starts when a client first
 * calls it, as on a real desktop, with its test view /Inspect switched on.
 */
class E2eSession
{
public:
    E2eSession();
    ~E2eSession();

    /// False (with the reason in error()) when the display or the bus did not start.
    bool start();
    QString error() const { return m_error; }

    QDBusConnection bus() const;
    QString busAddress() const { return m_busAddress; }
    /// The environment programs of this desktop run with.
    QProcessEnvironment environment() const { return m_environment; }

    /// Runs a program of this desktop to its end; returns its exit code (-1 when it did not finish).
    int run(const QString &program, const QStringList &arguments, QByteArray *out = nullptr, QByteArray *err = nullptr,
            const QByteArray &input = {}, int timeoutMs = 60000);
    /// Starts a program of this desktop and leaves it running (owned by the session).
    QProcess *launch(const QString &program, const QStringList &arguments);

    /// The test view of the server.
    QVariantMap window(const QString &path);
    QVariantMap counts();
    QVariantMap modalDialog();
    bool pressButton(const QString &text);
    /// Closes a window as its close box would; whether it closed.
    bool closeWindow(const QString &path);
    /// Runs the window's Erase All command; whether the window exists.
    bool eraseAll(const QString &path);
    /// Waits until predicate() holds, letting events run; false on timeout.
    static bool waitFor(const std::function<bool()> &predicate, int timeoutMs = 10000);

    /// Object paths of the private windows alive now.
    QStringList privateWindowPaths();
    /// Process id of the running server (0 when none).
    qint64 serverPid();

    static QString wrenlogProgram();
    static QString sendProgram();

private:
    QVariantMap inspect(const QString &method, const QVariantList &arguments);
    void stopProcess(QProcess *process);

    QTemporaryDir m_root;
    QString m_error;
    QString m_busAddress;
    QString m_connectionName;
    QProcessEnvironment m_environment;
    std::unique_ptr<QProcess> m_display;
    std::unique_ptr<QProcess> m_busDaemon;
    std::vector<std::unique_ptr<QProcess>> m_launched;
};
