#pragma once

#include <QString>
#include <QtGlobal>

class PluginWindow;

/**
 * Keeps the debug text at most maxLines lines long ("Keep at most N lines").
 *
 * Once the text has grown past the cap, the oldest lines go in chunks of a
 * tenth of it (at least one line), so a long session trims now and then
 * rather than on every print; a cut always falls right after a line break.
 * A selection of the user's in the part that would go stops the trim until
 * the selection moves away; any other selection keeps its place in the text.
 *
 * Printed pieces are counted as they pass (note()); only when that count says
 * the cap may be passed is the window's text read and the trim decided on the
 * exact count, so a window below its cap costs one addition per piece.
 */
class LineCap
{
public:
    void setMaxLines(qint32 maxLines);
    qint32 maxLines() const { return m_maxLines; }

    /// Counts the line breaks of a piece on its way into the window.
    void note(const QString &text, bool crLf);
    /// The text was replaced or erased: the count starts again from the window.
    void forget() { m_known = false; }
    /// Whether trim() may have something to do.
    bool due() const { return m_maxLines > 0 && (!m_known || m_lines > m_maxLines); }

    /// Trims the window's text when it holds more than maxLines lines.
    /// Returns false when a selection of the user's held the trim back.
    bool trim(PluginWindow &window);

    /// Number of lines of a text: its line breaks, and a last line without one.
    static qint32 countLines(const QString &text);
    /// Position just after the n-th line break (CR LF, LF or CR) of the text, or its length.
    static qint32 afterLine(const QString &text, qint32 n);

private:
    qint32 m_maxLines = 0;
    // Lines counted so far: line breaks, and one more while the last line is unfinished.
    qint32 m_breaks = 0;
    bool m_partial = false;
    qint32 m_lines = 0;
    bool m_known = false;
};
