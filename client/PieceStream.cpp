#include "wrenlog/PieceStream.h"

#include "wrenlog/BusCall.h"

#include <QDBusPendingReply>

namespace Wrenlog {

PieceStream::PieceStream(const QDBusConnection &bus, const QString &objectPath)
    : PieceStream(bus, objectPath, Limits())
{}

PieceStream::PieceStream(const QDBusConnection &bus, const QString &objectPath, Limits limits)
    : m_bus(bus)
    , m_path(objectPath)
    , m_limits(limits)
{
    WrenlogBus::registerTypes();
    m_batch.reserve(m_limits.piecesPerBatch);
}

PieceStream::~PieceStream()
{
    // Whatever is still on its way is delivered by the bus; nobody is left
    // to hear about a failure.
    for (QDBusPendingCall &call : m_inFlight)
        call.waitForFinished();
}

void PieceStream::add(DebugPiece piece)
{
    throwIfFailed();
    m_batchBytes += piece.Text.size() * qsizetype(sizeof(QChar));
    m_batch.append(std::move(piece));
    if (m_batch.size() >= m_limits.piecesPerBatch || m_batchBytes >= m_limits.bytesPerBatch)
        send();
}

void PieceStream::flush()
{
    throwIfFailed();
    if (!m_batch.isEmpty())
        send();
}

void PieceStream::finish()
{
    flush();
    while (!m_inFlight.empty())
        settleOldest();
    throwIfFailed();
}

void PieceStream::send()
{
    BusCall::requireConnected(m_bus);
    while (!m_inFlight.empty() && (m_inFlight.front().isFinished() || int(m_inFlight.size()) >= m_limits.callsInFlight))
        settleOldest();
    throwIfFailed();
    QDBusMessage message = BusCall::makeCall(m_path, QString::fromLatin1(WrenlogBus::batchInterface),
                                             QStringLiteral("DebugPrintMany"), {QVariant::fromValue(m_batch)});
    m_inFlight.push_back(m_bus.asyncCall(message, m_limits.replyTimeoutMs));
    m_inFlightPieces.push_back(m_batch.size());
    const bool first = m_piecesSent == 0;
    m_piecesSent += m_batch.size();
    m_batch.clear();
    m_batchBytes = 0;
    // The first call may start the server, which lets calls that arrive
    // meanwhile run before the one that started it: the rest waits for it.
    if (first)
        settleOldest();
}

void PieceStream::settleOldest()
{
    QDBusPendingCall call = m_inFlight.front();
    m_inFlight.pop_front();
    const qsizetype pieces = m_inFlightPieces.front();
    m_inFlightPieces.pop_front();
    call.waitForFinished();
    if (call.isError() && !m_failure)
        m_failure = BusCall::errorFromReply(call.reply());
    if (!m_failure)
        m_piecesDelivered += pieces;
}

void PieceStream::throwIfFailed()
{
    if (m_failure)
        throw *m_failure;
}

} // namespace Wrenlog
