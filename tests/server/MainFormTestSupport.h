#pragma once

#include "NotificationSink.h"
#include "PluginManagerLink.h"
#include "WrenlogMainForm.h"

#include <QList>
#include <QVariant>

#include <functional>

/// A facade that records every notification and can cancel or act on them.
class RecordingSink : public NotificationSink
{
public:
    struct Heard
    {
        qint32 code;
        QVariant values;
    };

    void Notify(qint32 code, const QVariant &values, bool &cancel) override;
    bool listensTo(qint32 code) const override { return !deafTo.contains(code); }

    QList<Heard> heard;
    /// Codes nobody listens to, as a facade without such handlers says.
    QList<qint32> deafTo;
    QList<qint32> cancelCodes;
    std::function<void(qint32 code, const QVariant &values)> onNotify;

    QList<Heard> heardWithCode(qint32 code) const;

    int killAllCalls = 0;
    int dialogShown = 0;
};

/// A plug-in manager whose facade is a RecordingSink.
class FakePluginManager : public PluginManagerLink
{
public:
    explicit FakePluginManager(RecordingSink &sink)
        : m_sink(sink)
    {}

    void LoadPlugins(const QStringList &) override {}
    qint32 PluginCount() const override { return 1; }
    NotificationSink *facade() override { return &m_sink; }
    void KillAll() override { ++m_sink.killAllCalls; }
    void ShowManagerDialog() override { ++m_sink.dialogShown; }
    void UnloadManagerDialog() override {}

private:
    RecordingSink &m_sink;
};

/// A loaded debug window whose plug-in manager reports to sink.
std::unique_ptr<WrenlogMainForm> windowHeardBy(RecordingSink &sink);
/// The colour (0x00BBGGRR) of the character at a position of the view's text.
qint32 colourAt(WrenlogMainForm &window, qint32 position);
