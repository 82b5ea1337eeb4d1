#pragma once

#include <QByteArray>
#include <QFont>

class QTextCursor;

/**
 * Reads Rich Text Format into a document at a cursor.
 *
 * Takes what the view can hold (see RtfWriter) and skips the rest: unknown
 * destinations, \* groups, pictures, \bin data. Malformed input loads what can
 * be read: unbalanced braces, a truncated file, absurd numbers and binary
 * garbage never crash or hang it, and deep nesting costs no stack.
 *
 * Text without a font or size of its own, or in the default font and size,
 * gets none in the document, so it follows the view's font.
 */
class RtfReader
{
public:
    struct Options
    {
        QFont defaultFont;
        /// Bytes above 127 outside escapes are UTF-8 rather than the code page
        /// (for RTF that arrived as a string of Unicode characters).
        bool utf8Text = false;
    };

    struct Result
    {
        bool wasRtf = false; ///< started with {\rtf; otherwise read as plain text
        bool hasProtectedText = false;
        int maxDepth = 0; ///< the deepest nesting seen
    };

    /// True when the data opens with {\rtf (after blanks).
    static bool looksLikeRtf(const QByteArray &data);

    /// Inserts the data at the cursor (replacing its selection).
    static Result read(const QByteArray &data, QTextCursor &cursor, const Options &options);

    /// Groups nested deeper than this share their parent's state.
    static constexpr int maxStateDepth = 256;
};
