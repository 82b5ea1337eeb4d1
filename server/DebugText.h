#pragma once

#include <QString>

class RichTextView;

/**
 * What a printed piece of debug text becomes in a debug window's view: the
 * colour a style code resolves to, and the piece appended at the very end
 * with the caret left after it.
 */
namespace DebugText {

/// How deep printing may re-enter itself (a plug-in that prints from its own
/// DebugPrint handler) before the innermost call fails.
constexpr int maxPrintDepth = 64;
/// Number and description of the failure past maxPrintDepth.
constexpr qint32 outOfStackSpace = 28;

/// 0x00BBGGRR for a colour code: codes of 0 and above unchanged, the four
/// styles to their colours, any other negative code to black.
qint32 ResolveColour(qint32 colour);

/// Appends text (and CR LF when crlf) in the colour at the end of the view
/// and leaves the caret after it; the user's selection is not kept.
void Append(RichTextView &view, const QString &text, qint32 resolvedColour, bool crlf);

} // namespace DebugText
