#pragma once

#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class PluginHostLink;
class PluginWindow;
class QWidget;

/// One piece of debug text as the plug-in printed it.
struct Print
{
    QString text;
    qint32 colour = 0;
    bool lineBreak = true;

    bool operator==(const Print &) const = default;
};
void PrintTo(const Print &print, std::ostream *out);

/**
 * A debug window whose plug-in host loaded the built scanner library from a
 * fresh application folder, with the plug-in's settings written beforehand
 * and every print the window receives written down.
 */
class ChorescanTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes the plug-in's settings section (an absent value is left out).
    void writeSettings(const QString &workingPath, const QString &fullResults = QString());
    /// The settings file's lines, without line ends.
    QStringList settingsLines() const;
    /// Starts the host and runs the plug-in (it adds its command).
    void start(bool run = true);
    /// Picks the plug-in's command, as the window's menu does.
    void clickCommand();
    QWidget *findTopLevel(const QString &objectName) const;

    WrenlogPlugin *plugin() const;
    PluginWindow *window() const;

    QString app;
    std::unique_ptr<WrenlogMainForm> form;
    PluginHostLink *link = nullptr;
    QList<Print> prints;
};

/// Writes a file of lines joined by lineEnd (no line end after the last unless given).
void writeLines(const QString &path, const QStringList &lines, const QString &lineEnd = QStringLiteral("\r\n"),
                bool finalLineEnd = false);
