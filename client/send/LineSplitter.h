#pragma once

#include <QByteArray>
#include <QByteArrayView>

/**
 * Cuts a byte stream into whole lines. A line ends at LF; a CR before the LF
 * goes with it. What follows the last LF waits for the next chunk.
 *
 *     LineSplitter lines;
 *     lines.feed(chunk, [&](QByteArrayView line) { print(line); });
 *     if (lines.hasRest()) print(lines.takeRest());   // at the end of input
 */
class LineSplitter
{
public:
    template<typename OnLine>
    void feed(QByteArrayView chunk, OnLine &&onLine)
    {
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = chunk.indexOf('\n', start);
            if (end < 0)
                break;
            if (m_pending.isEmpty()) {
                onLine(withoutCr(chunk.sliced(start, end - start)));
            } else {
                m_pending.append(chunk.sliced(start, end - start));
                onLine(withoutCr(m_pending));
                m_pending.clear();
            }
            start = end + 1;
        }
        m_pending.append(chunk.sliced(start));
    }

    bool hasRest() const { return !m_pending.isEmpty(); }
    /// The unfinished last line (without a CR at its end), emptied.
    QByteArray takeRest()
    {
        QByteArray rest = std::exchange(m_pending, {});
        if (rest.endsWith('\r'))
            rest.chop(1);
        return rest;
    }

private:
    static QByteArrayView withoutCr(QByteArrayView line)
    {
        return line.endsWith('\r') ? line.chopped(1) : line;
    }

    QByteArray m_pending;
};
