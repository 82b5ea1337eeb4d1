#include "LineSink.h"

#include "AutomationError.h"
#include "wrenlog/PieceStream.h"

#include <QTime>

LineSink::LineSink(Wrenlog::PieceStream &stream, bool timestamps, bool passThrough)
    : m_stream(stream)
    , m_timestamps(timestamps)
    , m_passThrough(passThrough)
{}

QString LineSink::decode(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar(u'\0')))
        text.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    return text;
}

QString LineSink::timePrefix()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz "));
}

void LineSink::line(QByteArrayView bytes, qint32 colour, bool crlf, FILE *fallback)
{
    if (m_failed) {
        std::fwrite(bytes.data(), 1, size_t(bytes.size()), fallback);
        if (crlf)
            std::fputc('\n', fallback);
        return;
    }
    text(decode(bytes), colour, crlf, fallback);
}

void LineSink::text(QString text, qint32 colour, bool crlf, FILE *fallback, const QString &prefix)
{
    if (!prefix.isEmpty())
        text.prepend(prefix);
    else if (m_timestamps)
        text.prepend(timePrefix());
    if (!m_failed) {
        try {
            if (m_passThrough) {
                m_unconfirmed.push_back({text, crlf, fallback});
                ++m_added;
                forgetConfirmed();
            }
            m_stream.add({std::move(text), colour, crlf});
            return;
        } catch (const AutomationError &error) {
            fail(error);
            return;
        }
    }
    write(text, crlf, fallback);
}

void LineSink::forgetConfirmed()
{
    const qint64 waiting = m_added - m_stream.piecesDelivered();
    while (qint64(m_unconfirmed.size()) > waiting)
        m_unconfirmed.pop_front();
}

void LineSink::write(const QString &text, bool crlf, FILE *fallback)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), fallback);
    if (crlf)
        std::fputc('\n', fallback);
}

void LineSink::idle()
{
    if (m_failed)
        return;
    try {
        m_stream.flush();
    } catch (const AutomationError &error) {
        fail(error);
    }
}

bool LineSink::finish()
{
    if (!m_failed) {
        try {
            m_stream.finish();
        } catch (const AutomationError &error) {
            fail(error);
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    return !m_failed;
}

void LineSink::fail(const AutomationError &error)
{
    if (!m_passThrough)
        throw error;
    m_failed = true;
    std::fprintf(stderr, "wrenlog-send: %s (error %d); the rest goes to this terminal\n",
                 qPrintable(error.description()), int(error.number()));
    forgetConfirmed();
    for (const Unconfirmed &line : m_unconfirmed)
        write(line.text, line.crlf, line.fallback);
    m_unconfirmed.clear();
}
