#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class FindBarView;
class PluginHostLink;
class PluginMenuItem;
class PluginWindow;
class QWidget;
class WrenlogMainForm;

/**
 * A debug window of the test's own whose plug-in host loads KSLookout.so from
 * a fresh application folder, as the server does. Settings written with
 * writeSettings() before start() are what the plug-in finds; restart() closes
 * the window and starts again on the same folder.
 */
class LookoutTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Lines of the plug-in's section in PluginProperties.ini ("Name=Value").
    void writeSettings(const QStringList &lines);
    QStringList iniLines() const;
    void start();
    void restart();
    void stop();

    /// Picks a plug-in menu entry by caption, as the user does.
    void click(const QString &caption);
    PluginMenuItem *menuItem(const QString &caption) const;
    /// A key pressed in the debug text, where the user types.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers);
    void print(const QString &text, qint32 colour = -2, bool crLf = true);
    QString text() const;
    /// Colour reference of the text at a position (a line break counted as two).
    qint32 colourAt(qint32 position, qint32 length = 1) const;
    /// Lets timers and posted events run for a while.
    static void settle(int ms = 20);
    /// The find bar, once opened (null before).
    static QWidget *findBar();

    QString app;
    std::unique_ptr<WrenlogMainForm> form;
    PluginHostLink *link = nullptr;
    PluginWindow *window = nullptr;
};
