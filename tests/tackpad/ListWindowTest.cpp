#include "TackpadFixture.h"

#include "NoteFiles.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "Tackpad.h"
#include "TackpadPopupForm.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>

#include <cmath>

namespace {

void notify(PluginWindow *window, int code, const QVariant &values = {})
{
    bool cancel = false;
    window->Notify(code, values, cancel);
}

// Positions go through whole pixels on their way to the screen.
constexpr int pixelSlack = 16;

} // namespace

TEST_F(TackpadTest, FirstUseShowsTheListDockedBesideTheWindow)
{
    start();
    EXPECT_TRUE(list->expanded());
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->tracking());
    EXPECT_EQ(list->mnuExpandItem()->Caption(), QStringLiteral("Hide KS Tackpad List"));
    EXPECT_NEAR(list->Left(), window->Left() + window->Width() + 2 * Twips::perPixelX(), pixelSlack);
    EXPECT_NEAR(list->Top(), window->Top(), pixelSlack);

    // The docked list follows the window.
    window->setLeft(window->Left() + 1500);
    notify(window, 18);
    EXPECT_NEAR(list->Left(), window->Left() + window->Width() + 2 * Twips::perPixelX(), pixelSlack);
    window->setLeft(window->Left() - 1500);

    list->mnuExpandItem()->MenuClick();
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->mnuExpandItem()->Caption(), QStringLiteral("Show KS Tackpad List"));
}

TEST_F(TackpadTest, TrackingOffRestoresTheFreePositionAndQuitKeepsIt)
{
    start();
    list->mnuTrack_Click();
    ASSERT_FALSE(list->tracking());
    list->setLeft(3000);
    list->setTop(2250);
    list->mnuTrack_Click(); // on: remembers the free place, then docks
    ASSERT_TRUE(list->tracking());
    EXPECT_NEAR(list->Left(), window->Left() + window->Width() + 2 * Twips::perPixelX(), pixelSlack);
    list->mnuTrack_Click(); // off: back to the free place
    EXPECT_NEAR(list->Left(), 3000, pixelSlack);
    EXPECT_NEAR(list->Top(), 2250, pixelSlack);

    notify(window, 17);
    EXPECT_EQ(store->GetProperty(QStringLiteral("Track")).toString(), QStringLiteral("False"));
    EXPECT_EQ(store->GetProperty(QStringLiteral("Expanded")).toString(), QStringLiteral("True"));
    EXPECT_NEAR(store->GetProperty(QStringLiteral("Left")).toDouble(), 3000, pixelSlack);

    // The next start shows the list where it was, without docking.
    plugin->Kill();
    start();
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->tracking());
    EXPECT_NEAR(list->Left(), 3000, pixelSlack);
    EXPECT_NEAR(list->Top(), 2250, pixelSlack);
}

TEST_F(TackpadTest, UnreadableSettingsLeaveTheDefaults)
{
    store->SetProperty(QStringLiteral("Track"), QStringLiteral("maybe"));
    store->SetProperty(QStringLiteral("Expanded"), QStringLiteral("perhaps"));
    store->SetProperty(QStringLiteral("Left"), QStringLiteral("far left"));
    start();
    EXPECT_TRUE(list->tracking());
    EXPECT_TRUE(list->expanded());

    store->SetProperty(QStringLiteral("Expanded"), false);
    plugin->Kill();
    start();
    EXPECT_FALSE(list->expanded());
    EXPECT_FALSE(list->isVisible());
}

TEST_F(TackpadTest, FoldingHidesAnOpenListAndUnfoldingShowsIt)
{
    start();
    ASSERT_TRUE(list->isVisible());
    notify(window, 5, QVariantList {true});
    EXPECT_FALSE(list->isVisible());
    notify(window, 5, QVariantList {false});
    EXPECT_TRUE(list->isVisible());

    list->Expand();
    notify(window, 5, QVariantList {true});
    notify(window, 5, QVariantList {false});
    EXPECT_FALSE(list->isVisible());
}

TEST_F(TackpadTest, F5RefreshesAndOnlyTheExactExtensionIsListed)
{
    writeNote(QStringLiteral("Before"), QStringLiteral("x"));
    start();
    EXPECT_EQ(listed(), QStringList {QStringLiteral("Before")});
    writeNote(QStringLiteral("After"), QStringLiteral("y"));
    QFile::copy(notes + QStringLiteral("/Before.Tackpad"), notes + QStringLiteral("/Lower.tackpad"));
    QFile::copy(notes + QStringLiteral("/Before.Tackpad"), notes + QStringLiteral("/Plain.txt"));

    QKeyEvent other(QEvent::KeyRelease, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(list->lvwNotes(), &other);
    EXPECT_EQ(listed().size(), 1);
    QKeyEvent f5(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(list->lvwNotes(), &f5);
    EXPECT_EQ(listed(), (QStringList {QStringLiteral("After"), QStringLiteral("Before")}));
}

TEST_F(TackpadTest, DeletingTheCurrentNoteEmptiesTheWindowAnotherKeepsItsEdits)
{
    const QString current = writeNote(QStringLiteral("Current"), QStringLiteral("saved"));
    const QString other = writeNote(QStringLiteral("Other"), QStringLiteral("other"));
    start();
    list->LoadNote(current);
    window->setText(QStringLiteral("edited, not yet saved"));

    QListWidget *notesList = list->lvwNotes();
    ASSERT_EQ(notesList->count(), 2);
    notesList->clearSelection();
    notesList->item(1)->setSelected(true); // "Other"
    list->mnuDelete_Click();
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_EQ(list->currentNote(), current);
    EXPECT_EQ(window->Text(), QStringLiteral("edited, not yet saved"));

    ASSERT_EQ(notesList->count(), 1);
    notesList->item(0)->setSelected(true);
    list->mnuDelete_Click();
    EXPECT_FALSE(QFile::exists(current));
    EXPECT_TRUE(list->currentNote().isEmpty());
    EXPECT_TRUE(window->Text().isEmpty());
    EXPECT_TRUE(window->TopText().isEmpty());
    EXPECT_EQ(notesList->count(), 0);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
}

TEST_F(TackpadTest, ACurrentNoteThatCannotBeDeletedKeepsItsTextOnScreen)
{
    const QString note = writeNote(QStringLiteral("Locked"), QStringLiteral("saved"));
    start();
    list->LoadNote(note);
    window->setText(QStringLiteral("edited, not yet saved"));
    // A read-only note is not forced, not even by root.
    ASSERT_TRUE(QFile::setPermissions(note, QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    QListWidget *notesList = list->lvwNotes();
    ASSERT_EQ(notesList->count(), 1);
    notesList->item(0)->setSelected(true);
    list->mnuDelete_Click();
    EXPECT_TRUE(QFile::exists(note));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.constFirst().startsWith(QStringLiteral("TackpadPopupForm.mnuDelete_Click:")));
    EXPECT_EQ(window->Text(), QStringLiteral("edited, not yet saved"));
    EXPECT_EQ(window->TopText(), QStringLiteral("Locked"));
    EXPECT_EQ(list->currentNote(), note);
    QFile::setPermissions(note, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(TackpadTest, ContextMenuOffersDeleteOverAnItemAndDisconnectWithANote)
{
    const QString note = writeNote(QStringLiteral("Menu"), QStringLiteral("x"));
    start();
    struct Row
    {
        bool overItem;
        bool withNote;
    };
    const QList<Row> rows = {{false, false}, {true, false}, {true, true}};
    for (const Row &row : rows) {
        if (row.withNote)
            list->LoadNote(note);
        list->preparePopUp(row.overItem);
        EXPECT_EQ(list->menuAction(QStringLiteral("mnuDelete"))->isVisible(), row.overItem);
        EXPECT_EQ(list->menuAction(QStringLiteral("mnuSep2"))->isVisible(), row.overItem);
        EXPECT_EQ(list->menuAction(QStringLiteral("mnuDisconnect"))->isEnabled(), row.withNote);
    }
    list->mnuDisconnect_Click();
    EXPECT_TRUE(list->currentNote().isEmpty());
    EXPECT_TRUE(window->TopText().isEmpty());
    EXPECT_TRUE(list->lvwNotes()->selectedItems().isEmpty());
}

TEST_F(TackpadTest, AMissingFilesFolderIsReportedWhenTheListIsShown)
{
    NoteFiles::setFolder(notes + QStringLiteral("/not there"));
    start();
    // Nothing is reported while the list is shut; showing it refreshes it.
    ASSERT_FALSE(list->isVisible());
    EXPECT_TRUE(failures.isEmpty());
    list->mnuExpandItem()->MenuClick();
    list->mnuExpandItem()->MenuClick();
    EXPECT_FALSE(failures.isEmpty());
    EXPECT_FALSE(QDir(notes + QStringLiteral("/not there")).exists());
}
