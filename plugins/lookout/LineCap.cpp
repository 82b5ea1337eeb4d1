#include "LineCap.h"

#include "PluginWindow.h"

void LineCap::setMaxLines(qint32 maxLines)
{
    m_maxLines = qMax(0, maxLines);
    m_known = false;
}

void LineCap::note(const QString &text, bool crLf)
{
    if (m_maxLines <= 0 || !m_known)
        return;
    m_breaks += qint32(text.count(QLatin1Char('\n'))) + (crLf ? 1 : 0);
    if (!text.isEmpty() || crLf)
        m_partial = !crLf && text.back() != u'\n' && text.back() != u'\r';
    m_lines = m_breaks + (m_partial ? 1 : 0);
}

qint32 LineCap::countLines(const QString &text)
{
    if (text.isEmpty())
        return 0;
    qint32 breaks = 0;
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == u'\n' || (data[i] == u'\r' && (i + 1 == size || data[i + 1] != u'\n')))
            ++breaks;
    }
    const QChar last = text.back();
    return breaks + (last == u'\n' || last == u'\r' ? 0 : 1);
}

qint32 LineCap::afterLine(const QString &text, qint32 n)
{
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qint32 seen = 0;
    for (qsizetype i = 0; i < size && seen < n; ++i) {
        if (data[i] == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        if (data[i] == u'\n' || data[i] == u'\r') {
            if (++seen == n)
                return qint32(i + 1);
        }
    }
    return qint32(size);
}

bool LineCap::trim(PluginWindow &window)
{
    if (m_maxLines <= 0)
        return true;
    const QString text = window.Text();
    const qint32 lines = countLines(text);
    m_lines = lines;
    m_partial = !text.isEmpty() && text.back() != u'\n' && text.back() != u'\r';
    m_breaks = lines - (m_partial ? 1 : 0);
    m_known = true;
    if (lines <= m_maxLines)
        return true;
    const qint32 chunk = qMax<qint32>(1, m_maxLines / 10);
    const qint32 chunks = (lines - m_maxLines + chunk - 1) / chunk;
    const qint32 cut = afterLine(text, qMin(lines, chunks * chunk));

    const qint32 selStart = window.SelStart();
    const qint32 selLength = window.SelLength();
    if (selLength > 0 && selStart < cut)
        return false;

    window.setSelStart(0);
    window.setSelLength(cut);
    window.setSelText(QString());
    window.setSelStart(qMax(0, selStart - cut));
    if (selLength > 0)
        window.setSelLength(selLength);
    m_lines = lines - qMin(lines, chunks * chunk);
    m_breaks = m_lines - (m_partial ? 1 : 0);
    return true;
}
