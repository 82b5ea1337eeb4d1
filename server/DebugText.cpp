#include "DebugText.h"

#include "RichTextView.h"
#include "WrenlogEnums.h"

namespace DebugText {

qint32 ResolveColour(qint32 colour)
{
    if (colour >= 0)
        return colour;
    switch (colour) {
    case wlogFail: return 0x0000FF;
    case wlogNote: return 0x008000;
    case wlogTitle: return 0xFF0000;
    default: return 0;
    }
}

void Append(RichTextView &view, const QString &text, qint32 resolvedColour, bool crlf)
{
    view.setSelStart(view.TextLength());
    view.setSelLength(0);
    view.setSelColor(resolvedColour);
    view.setSelText(crlf ? text + QStringLiteral("\r\n") : text);
    view.setSelLength(0);
}

} // namespace DebugText
