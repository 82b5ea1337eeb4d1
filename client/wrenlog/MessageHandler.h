#pragma once

#include <QDBusConnection>
#include <QString>

namespace Wrenlog {

/// How installMessageHandler() routes Qt's messages.
struct MessageHandlerOptions
{
    /// Empty: the shared window; otherwise a private window of this title,
    /// opened with the first message and closed by uninstallMessageHandler().
    QString privateWindowTitle;
    /// Hand every message to the handler that was installed before as well.
    bool chain = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
};

/**
 * Routes qDebug, qInfo, qWarning, qCritical and qFatal into the debug window:
 * debug grey, info normal, warning orange, critical and fatal in the fail
 * style, a message of a named category as "category: message".
 *
 * The handler only queues the message; a thread of its own sends the queue
 * in batches (as PieceStream does), so a qDebug never waits for the window.
 * Before qFatal aborts, everything queued is delivered. Once the window
 * cannot be reached, the messages it had not confirmed and all later ones go
 * to the previous handler instead. What is still queued when the application
 * object goes away is delivered then.
 *
 *     QCoreApplication app(argc, argv);
 *     Wrenlog::installMessageHandler();
 *     qCWarning(lcImport) << "row 17 skipped";   // "import: row 17 skipped", orange
 */
void installMessageHandler(const MessageHandlerOptions &options = {});
/// Delivers what is queued, closes the handler's private window and puts the
/// previous handler back. Does nothing when none is installed.
void uninstallMessageHandler();

} // namespace Wrenlog
