#pragma once

#include "AutomationError.h"
#include "WrenlogBus.h"

#include <QDBusConnection>
#include <QDBusPendingCall>

#include <deque>
#include <optional>

namespace Wrenlog {

/**
 * Streams pieces of debug text into one window through org.wrenlog.Batch:
 * pieces are gathered into batches, and a few batches travel at once instead
 * of one blocking call per line. The bus keeps the calls of one connection in
 * order and the server prints each batch whole, so nothing is reordered.
 *
 *     Wrenlog::PieceStream stream(QDBusConnection::sessionBus(), QStringLiteral("/GlobalWindow"));
 *     for (const QString &line : lines)
 *         stream.add({line, Wrenlog::wlogNormal, true});
 *     stream.finish(); // throws the first failure, if any
 */
class PieceStream
{
public:
    struct Limits
    {
        int piecesPerBatch = 100;
        qsizetype bytesPerBatch = 256 * 1024; ///< text size at which a batch leaves early
        int callsInFlight = 4;
        int replyTimeoutMs = 120000;
    };

    PieceStream(const QDBusConnection &bus, const QString &objectPath);
    PieceStream(const QDBusConnection &bus, const QString &objectPath, Limits limits);
    ~PieceStream();

    /// Queues a piece; sends the batch once it is full. Throws a failure that
    /// an earlier batch brought back.
    void add(DebugPiece piece);
    /// Sends what is queued without waiting for the reply.
    void flush();
    /// Sends what is queued and waits for every reply; throws the first failure.
    void finish();

    qint64 piecesSent() const { return m_piecesSent; }
    /// Pieces whose batches the window has confirmed, all in order, before any failure.
    qint64 piecesDelivered() const { return m_piecesDelivered; }

private:
    void send();
    void settleOldest();
    void throwIfFailed();

    QDBusConnection m_bus;
    QString m_path;
    Limits m_limits;
    QList<DebugPiece> m_batch;
    qsizetype m_batchBytes = 0;
    std::deque<QDBusPendingCall> m_inFlight;
    std::optional<AutomationError> m_failure;
    std::deque<qsizetype> m_inFlightPieces;
    qint64 m_piecesSent = 0;
    qint64 m_piecesDelivered = 0;
};

} // namespace Wrenlog
