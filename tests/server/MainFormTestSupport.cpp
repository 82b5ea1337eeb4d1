#include "MainFormTestSupport.h"

#include "RichTextView.h"

void RecordingSink::Notify(qint32 code, const QVariant &values, bool &cancel)
{
    heard.append({code, values});
    if (cancelCodes.contains(code))
        cancel = true;
    if (onNotify)
        onNotify(code, values);
}

QList<RecordingSink::Heard> RecordingSink::heardWithCode(qint32 code) const
{
    QList<Heard> matching;
    for (const Heard &h : heard) {
        if (h.code == code)
            matching.append(h);
    }
    return matching;
}

std::unique_ptr<WrenlogMainForm> windowHeardBy(RecordingSink &sink)
{
    auto window = std::make_unique<WrenlogMainForm>();
    window->setPluginManager(std::make_unique<FakePluginManager>(sink));
    window->Load();
    return window;
}

qint32 colourAt(WrenlogMainForm &window, qint32 position)
{
    RichTextView *view = window.rtbDetails();
    view->setSelStart(position);
    view->setSelLength(1);
    const qint32 colour = view->SelColor().toInt();
    view->setSelLength(0);
    return colour;
}
