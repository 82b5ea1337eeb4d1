#pragma once

#include "WrenlogBus.h"

#include <QByteArrayView>
#include <QString>

#include <cstdio>
#include <deque>

namespace Wrenlog {
class PieceStream;
}

/**
 * Where wrenlog-send's lines go: into a window's PieceStream, each line whole,
 * with the local time in front when asked. Bytes that are not UTF-8 become
 * replacement characters and the rest of the line stays (NUL too, which the
 * bus cannot carry in a string).
 *
 * When the window fails, the failure is thrown (AutomationError); with
 * passThrough it is told once on standard error instead and the lines go on to
 * the fallback stream given with each line, so a wrapped command's output is
 * not lost with the window: the lines the window had not confirmed yet go
 * there first.
 */
class LineSink
{
public:
    LineSink(Wrenlog::PieceStream &stream, bool timestamps, bool passThrough = false);

    void line(QByteArrayView bytes, qint32 colour, bool crlf = true, FILE *fallback = stdout);
    /// A line whose text is ready; prefix is put before it in place of the current time.
    void text(QString text, qint32 colour, bool crlf = true, FILE *fallback = stdout, const QString &prefix = {});
    /// The input paused: send what is gathered.
    void idle();
    /// Sends everything and waits for the window; false when the window failed
    /// (and the lines were passed through).
    bool finish();
    bool failed() const { return m_failed; }

    static QString decode(QByteArrayView bytes);
    /// "HH:mm:ss.zzz " of the local time now.
    static QString timePrefix();

private:
    void fail(const class AutomationError &error);
    void write(const QString &text, bool crlf, FILE *fallback);
    void forgetConfirmed();

    struct Unconfirmed
    {
        QString text;
        bool crlf;
        FILE *fallback;
    };

    Wrenlog::PieceStream &m_stream;
    bool m_timestamps;
    bool m_passThrough;
    bool m_failed = false;
    std::deque<Unconfirmed> m_unconfirmed; ///< with passThrough: sent, not yet confirmed
    qint64 m_added = 0;
};
