#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QTimer>

class QDBusContext;

/**
 * Keeps the text that waits to go into the windows bounded when clients print
 * faster than the windows take it in. Past the limit, the reply to a print
 * call is held back until the windows have caught up to half of it. A client
 * that waits for its replies (ours keep a few calls in flight) then sends no
 * faster than the windows take: nothing is dropped, and every client's pieces
 * keep their order, since a call's pieces are queued before its reply waits.
 */
class PrintBackPressure : public QObject
{
    Q_OBJECT
public:
    static PrintBackPressure &instance();

    /// For a print call that has queued its pieces: holds its reply while
    /// too much waits (or while earlier replies are held). Calls that did
    /// not come over the bus go on at once.
    void holdReplyWhileBusy(const QDBusContext *context);

    /// Characters that may wait before replies are held back.
    qint64 limit() const { return m_limit; }
    void setLimit(qint64 characters);
    qsizetype heldReplies() const { return m_held.size(); }

private:
    PrintBackPressure();
    void releaseIfCaughtUp();

    struct HeldReply
    {
        QDBusConnection connection;
        QDBusMessage reply;
    };
    QList<HeldReply> m_held; // in the order of their calls
    QTimer m_poll;
    qint64 m_limit = 4 * 1024 * 1024;
};
