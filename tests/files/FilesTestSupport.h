#pragma once

#include "FileDialogs.h"
#include "NotificationSink.h"
#include "PluginManagerLink.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVariant>

#include <memory>

class PluginHostLink;
class PluginManager;
class WrenlogMainForm;

/// Records the notifications of a window and cancels the codes asked for.
struct HeardSink : NotificationSink
{
    void Notify(qint32 code, const QVariant &values, bool &cancel) override;
    QList<QVariant> valuesOf(qint32 code) const;

    QList<QPair<qint32, QVariant>> heard;
    QSet<qint32> cancelCodes;
};

/// A loaded debug window whose notifications go to a HeardSink.
struct ListenedWindow
{
    ListenedWindow();
    ~ListenedWindow();

    HeardSink sink;
    std::unique_ptr<WrenlogMainForm> window;
};

/// Answers the open and save dialogs for as long as it lives, writing down
/// every request; an empty path answers with a cancel, a path ending in "/"
/// with the proposed name in that folder. filterIndex 0 answers with the
/// preselected entry.
struct DialogAnswer
{
    explicit DialogAnswer(QString path = {}, int filterIndex = 0);
    ~DialogAnswer();

    QString path;
    int filterIndex;
    QList<FileDialogs::Request> requests;
    FileDialogs::Presenter previous;
};

/// Catches what would go to the error dialog, for as long as it lives.
struct ReportCatcher
{
    ReportCatcher();
    ~ReportCatcher();
    /// "source name: number description" per report.
    QStringList reports;
    QStringList sourceNames() const;
};

/// A debug window with the test plug-ins started from a fresh application folder.
struct HostWithPlugins
{
    HostWithPlugins();
    ~HostWithPlugins();

    PluginManager *manager() const;
    QString iniPath() const;
    QString iniText() const;

    QString appFolder;
    std::unique_ptr<WrenlogMainForm> window;
    PluginHostLink *link = nullptr;
};

/// What the test plug-ins wrote down; clears it when asked.
QStringList filesTrace();
void clearFilesTrace();
