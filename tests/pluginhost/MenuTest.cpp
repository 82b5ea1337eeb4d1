#include "PluginHostFixture.h"

#include "AutomationError.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "WrenlogMainForm.h"

#include <QAction>

#include <optional>

#include <gtest/gtest.h>

namespace {

struct MenuHost
{
    MenuHost()
        : host(app)
    {}
    PluginMenu *menu() const { return host.window()->Menu(); }
    QAction *element(int n) const { return host.form->mnuPluginItem(n); }
    QAction *entry(int n) const { return host.form->pluginDropDownEntry(n); }
    QAction *sep7() const { return host.form->menuItem(QStringLiteral("mnuSep7")); }

    AppFolder app;
    RunningHost host;
};

} // namespace

TEST(Menu, NonePlaceholderShowsOnlyWhileThereAreNoEntries)
{
    MenuHost m;
    m.host.form->PrepareContextMenu();
    EXPECT_TRUE(m.element(0)->isVisible());
    EXPECT_FALSE(m.element(0)->isEnabled());
    EXPECT_EQ(m.element(0)->text(), QStringLiteral("(None)"));

    m.menu()->AddMenuItem(QStringLiteral("Scan"));
    m.host.form->PrepareContextMenu();
    EXPECT_FALSE(m.element(0)->isVisible());
}

TEST(Menu, FirstEntryDecidesAboutTheSeparators)
{
    {
        MenuHost m;
        EXPECT_FALSE(m.sep7()->isVisible());
        PluginMenuItem *line = m.menu()->AddMenuItem(QStringLiteral("-"));
        PluginMenuItem *scan = m.menu()->AddMenuItem(QStringLiteral("Scan"));
        EXPECT_FALSE(m.sep7()->isVisible());
        EXPECT_TRUE(m.element(1)->isSeparator());
        EXPECT_TRUE(m.element(1)->isVisible());
        EXPECT_FALSE(m.entry(1)->isVisible()); // no separator lines in the drop-down
        EXPECT_TRUE(m.entry(2)->isVisible());
        EXPECT_EQ(m.entry(2)->text(), QStringLiteral("Scan"));
        EXPECT_EQ(line->Index(), 1);
        EXPECT_EQ(scan->Index(), 2);
        EXPECT_EQ(line->Caption(), QStringLiteral("-"));
        // A separator is a line only: styles would draw its "-" beside the line.
        EXPECT_TRUE(m.element(1)->text().isEmpty());
        line->setCaption(QStringLiteral("Back"));
        EXPECT_FALSE(m.element(1)->isSeparator());
        EXPECT_EQ(m.element(1)->text(), QStringLiteral("Back"));
        line->setCaption(QStringLiteral("-"));
        EXPECT_TRUE(m.element(1)->isSeparator());
        EXPECT_TRUE(m.element(1)->text().isEmpty());
        EXPECT_EQ(line->Caption(), QStringLiteral("-"));
    }
    {
        MenuHost m;
        m.menu()->AddMenuItem(QStringLiteral("Scan"));
        EXPECT_TRUE(m.sep7()->isVisible());
        EXPECT_FALSE(m.element(1)->isSeparator());
        EXPECT_TRUE(m.entry(1)->isVisible());
    }
}

TEST(Menu, ItemPropertiesReachMenuAndDropDown)
{
    MenuHost m;
    PluginMenuItem *item = m.menu()->AddMenuItem(QStringLiteral("Scan"));
    PluginMenuItem *other = m.menu()->AddMenuItem(QStringLiteral("Notes"));
    int itemClicks = 0;
    int otherClicks = 0;
    std::optional<bool> markInClick;
    QObject::connect(item, &PluginMenuItem::Click, [&] {
        ++itemClicks;
        markInClick = item->Checked();
    });
    QObject::connect(other, &PluginMenuItem::Click, [&] { ++otherClicks; });

    item->setCaption(QStringLiteral("Scan again"));
    EXPECT_EQ(m.element(1)->text(), QStringLiteral("Scan again"));
    EXPECT_EQ(m.entry(1)->text(), QStringLiteral("Scan again"));

    item->setChecked(true);
    EXPECT_TRUE(item->Checked());
    EXPECT_TRUE(m.element(1)->isChecked());
    EXPECT_FALSE(m.entry(1)->isChecked());
    m.element(1)->trigger(); // picking the entry leaves the mark to the plug-in
    EXPECT_EQ(markInClick, std::optional<bool>(true)) << "the mark as it was before the click";
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(itemClicks, 1);

    item->setEnabled(false);
    EXPECT_FALSE(m.element(1)->isEnabled());
    EXPECT_FALSE(m.entry(1)->isEnabled());
    item->setEnabled(true);

    item->setVisible(false);
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(m.element(1)->isVisible());
    EXPECT_FALSE(m.entry(1)->isVisible());
    m.entry(2)->trigger();
    m.element(2)->trigger();
    EXPECT_EQ(otherClicks, 2);
    EXPECT_EQ(itemClicks, 1);
    EXPECT_EQ(other->Index(), 2);
}

TEST(Menu, AHandlerThatFlipsTheMarkFlipsItOnceFromEitherPlace)
{
    MenuHost m;
    PluginMenuItem *item = m.menu()->AddMenuItem(QStringLiteral("Toggle"));
    EXPECT_FALSE(m.element(1)->isCheckable()) << "an unmarked entry shows an empty check box";
    QList<bool> seen;
    QObject::connect(item, &PluginMenuItem::Click, [&] {
        seen.append(item->Checked());
        item->setChecked(!item->Checked());
    });
    const QList<QAction *> clicks {m.element(1), m.entry(1), m.element(1), m.element(1), m.entry(1)};
    QList<bool> after;
    for (QAction *click : clicks) {
        click->trigger();
        after.append(m.element(1)->isChecked());
        EXPECT_EQ(item->Checked(), after.constLast());
    }
    EXPECT_EQ(seen, (QList<bool> {false, true, false, true, false}));
    EXPECT_EQ(after, (QList<bool> {true, false, true, false, true}));
    EXPECT_FALSE(m.entry(1)->isChecked()) << "the drop-down has no marks";
    item->setChecked(false);
    EXPECT_FALSE(m.element(1)->isCheckable());
}

TEST(Menu, TwoPluginsCommandsAreClickedSeparately)
{
    AppFolder app;
    app.install(QStringLiteral("Recorder"), QStringLiteral("R"));
    app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"),
                  "[WLTestRecorder.Recorder]\nCommand=First\n[WLTestRecorder.Listener]\nCommand=Second\n");
    RunningHost host(app);
    ASSERT_EQ(host.window()->Menu()->MenuItemCount(), 2);
    EXPECT_EQ(host.form->mnuPluginItem(1)->text(), QStringLiteral("First"));
    EXPECT_EQ(host.form->mnuPluginItem(2)->text(), QStringLiteral("Second"));

    host.form->pluginDropDownEntry(2)->trigger();
    host.form->mnuPluginItem(2)->trigger();
    const QStringList clicked {QStringLiteral("MenuClick"), QStringLiteral("MenuClick")};
    EXPECT_EQ(host.pluginObject(QStringLiteral("WLTestRecorder.Listener"))->property("Log").toStringList(), clicked);
    EXPECT_TRUE(host.pluginObject(QStringLiteral("WLTestRecorder.Recorder"))->property("Log").toStringList().isEmpty());
}

TEST(Menu, MenuItemTakesPositionsOnly)
{
    MenuHost m;
    PluginMenuItem *first = m.menu()->AddMenuItem(QStringLiteral("One"));
    EXPECT_EQ(m.menu()->MenuItem(1), first);
    EXPECT_EQ(m.menu()->MenuItem(1.0), first);
    struct Row
    {
        QVariant indexKey;
        qint32 number;
    };
    const Row rows[] = {{0, 9}, {2, 9}, {QStringLiteral("One"), 5}, {QStringLiteral("1"), 5}};
    for (const Row &row : rows) {
        try {
            m.menu()->MenuItem(row.indexKey);
            ADD_FAILURE() << qPrintable(row.indexKey.toString());
        } catch (const AutomationError &error) {
            EXPECT_EQ(error.number(), row.number);
            EXPECT_EQ(error.sourceLines().size(), 1); // passed on unchanged
        }
    }
    bool cancel = false;
    EXPECT_THROW(m.host.window()->Notify(16, 5, cancel), AutomationError);
}

TEST(Menu, ItemsOfAClosedWindowFailInsteadOfCrashing)
{
    PluginMenuItem *item = nullptr;
    {
        MenuHost m;
        item = m.menu()->AddMenuItem(QStringLiteral("Scan"));
        item->setParent(nullptr); // the plug-in keeps it after the window goes
    }
    std::unique_ptr<PluginMenuItem> held(item);
    try {
        held->setCaption(QStringLiteral("x"));
        FAIL();
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 91);
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginMenuItem.Caption (Let)"));
    }
    try {
        held->setVisible(false);
        FAIL();
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginMenuItem.Visisble (Let)"));
    }
}
