#include "PrintBackPressure.h"

#include "RichTextView.h"

#include <QDBusContext>

namespace {
// How often held replies look whether the windows have caught up.
constexpr int pollMs = 5;
} // namespace

PrintBackPressure &PrintBackPressure::instance()
{
    static PrintBackPressure *holder = new PrintBackPressure; // lives as long as the process
    return *holder;
}

PrintBackPressure::PrintBackPressure()
{
    m_poll.setInterval(pollMs);
    connect(&m_poll, &QTimer::timeout, this, &PrintBackPressure::releaseIfCaughtUp);
}

void PrintBackPressure::setLimit(qint64 characters)
{
    m_limit = qMax<qint64>(characters, 0);
    releaseIfCaughtUp();
}

void PrintBackPressure::holdReplyWhileBusy(const QDBusContext *context)
{
    if (!context || !context->calledFromDBus())
        return;
    if (m_held.isEmpty() && RichTextView::waitingCharacters() <= m_limit)
        return;
    context->setDelayedReply(true);
    m_held.append({context->connection(), context->message().createReply()});
    if (!m_poll.isActive())
        m_poll.start();
}

void PrintBackPressure::releaseIfCaughtUp()
{
    if (RichTextView::waitingCharacters() > m_limit / 2)
        return;
    m_poll.stop();
    const QList<HeldReply> held = std::exchange(m_held, {});
    for (const HeldReply &entry : held)
        entry.connection.send(entry.reply);
}
