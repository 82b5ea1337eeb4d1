#include "TackpadFixture.h"

#include "FileType.h"
#include "FileTypeCollection.h"
#include "NoteFiles.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PluginWindowFont.h"
#include "SplashForm.h"
#include "Tackpad.h"
#include "TackpadPopupForm.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>

#include <memory>

namespace {

void notify(PluginWindow *window, int code, const QVariant &values = {})
{
    bool cancel = false;
    window->Notify(code, values, cancel);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST_F(TackpadTest, RunGivesTheNoteLookAndOneNoteFileType)
{
    const qint32 width = window->Width();
    const qint32 height = window->Height();
    start();
    EXPECT_EQ(plugin->Name().toString(), QStringLiteral("KS Tackpad"));
    EXPECT_TRUE(plugin->IsRunning());
    EXPECT_EQ(window->BackColour(), 0xDBFDFB);
    const std::unique_ptr<PluginWindowFont> font(window->Font());
    EXPECT_EQ(font->Name(), QStringLiteral("Comic Sans MS"));
    EXPECT_EQ(font->Size(), 10);
    EXPECT_EQ(window->TopTextBackColour(), 0x79A8B0);
    EXPECT_EQ(window->TopTextForeColour(), 0xFFFFFF);
    EXPECT_FALSE(window->TopTextLocked());
    EXPECT_TRUE(window->Wrap());
    EXPECT_EQ(window->TopText(), QStringLiteral("Type youe file name here."));
    // The growth ends at the size the window had.
    EXPECT_EQ(window->Width(), width);
    EXPECT_EQ(window->Height(), height);

    auto *types = qobject_cast<FileTypeCollection *>(window->FileTypes());
    ASSERT_NE(types, nullptr);
    int noteTypes = 0;
    for (int i = 1; i <= types->Count(); ++i)
        noteTypes += types->Item(i)->Extention() == u".Tackpad" ? 1 : 0;
    EXPECT_EQ(noteTypes, 1);

    // A second run of a fresh plug-in (the host restarted its plug-ins) still leaves one entry.
    plugin->Kill();
    start();
    noteTypes = 0;
    for (int i = 1; i <= types->Count(); ++i)
        noteTypes += types->Item(i)->Extention() == u".Tackpad" ? 1 : 0;
    EXPECT_EQ(noteTypes, 1);

    PluginMenu *menu = window->Menu();
    const int count = menu->MenuItemCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(menu->MenuItem(count - 2)->Caption(), QStringLiteral("-"));
    EXPECT_EQ(menu->MenuItem(count)->Caption(), QStringLiteral("New KS Tackpad"));
}

TEST_F(TackpadTest, NewNoteGetsTheTimeInItsNameAndNeverOverwritesAnother)
{
    start();
    list->NewNoteAt(QDateTime(QDate(2026, 12, 6), QTime(9, 5)));
    const QString first = notes + QStringLiteral("/Notes (06-December-26 09_05).Tackpad");
    EXPECT_EQ(list->currentNote(), first);
    EXPECT_TRUE(QFile::exists(first));
    EXPECT_TRUE(window->Text().isEmpty());
    EXPECT_EQ(window->TopText(), QStringLiteral("Notes (06-December-26 09_05)"));
    ASSERT_NE(list->lvwNotes()->currentItem(), nullptr);
    EXPECT_TRUE(list->lvwNotes()->currentItem()->isSelected());
    EXPECT_EQ(list->lvwNotes()->currentItem()->text(), window->TopText());

    // A second note in the same minute: the first keeps what was typed into it.
    window->setText(QStringLiteral("typed in the first"));
    list->NewNoteAt(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 40)));
    EXPECT_NE(list->currentNote(), first);
    EXPECT_EQ(noteText(first), QStringLiteral("typed in the first"));
    EXPECT_EQ(listed().size(), 2);
}

TEST_F(TackpadTest, EnterInTheTopTextRenamesTheNoteTypingAloneDoesNot)
{
    const QString old = writeNote(QStringLiteral("Old"), QStringLiteral("body"));
    start();
    list->LoadNote(old);
    window->setText(QStringLiteral("body and more"));
    window->setTopText(QStringLiteral("Renamed"));
    notify(window, 21, QVariantList {qint16('R')});
    EXPECT_EQ(filesIn(notes), QStringList {QStringLiteral("Old.Tackpad")});

    notify(window, 21, QVariantList {qint16(13)});
    const QString renamed = notes + QStringLiteral("/Renamed.Tackpad");
    EXPECT_EQ(filesIn(notes), QStringList {QStringLiteral("Renamed.Tackpad")});
    EXPECT_EQ(list->currentNote(), renamed);
    EXPECT_EQ(window->Text(), QStringLiteral("body and more"));
    EXPECT_EQ(listed(), QStringList {QStringLiteral("Renamed")});
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
}

TEST_F(TackpadTest, RenameRefusesNamesThatAreNoNoteNamesOrTakenOnes)
{
    const QString current = writeNote(QStringLiteral("Current"), QStringLiteral("mine"));
    const QString other = writeNote(QStringLiteral("Other"), QStringLiteral("keep me"));
    start();
    list->LoadNote(current);
    const QStringList before = filesIn(notes);
    const QStringList parentBefore = filesIn(notes + QStringLiteral("/.."));
    const QStringList refused = {QString(),
                                 QStringLiteral("."),
                                 QStringLiteral(".."),
                                 QStringLiteral("sub/name"),
                                 QStringLiteral("../escape"),
                                 QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
                                 QStringLiteral("Other")};
    for (const QString &name : refused) {
        failures.clear();
        window->setText(QStringLiteral("edited"));
        window->setTopText(name);
        EXPECT_NO_THROW(notify(window, 21, QVariantList {qint16(13)}));
        EXPECT_EQ(failures.size(), 1) << name.toStdString();
        EXPECT_EQ(filesIn(notes), before) << name.toStdString();
        EXPECT_EQ(list->currentNote(), current);
    }
    EXPECT_EQ(filesIn(notes + QStringLiteral("/..")), parentBefore);
    EXPECT_EQ(noteText(other), QStringLiteral("keep me"));
    EXPECT_EQ(noteText(current), QStringLiteral("mine"));
}

TEST_F(TackpadTest, EraseAsksWhileTheListIsShownAndDisconnectsWhileHidden)
{
    const QString note = writeNote(QStringLiteral("Shown"), QStringLiteral("precious"));
    start();
    ASSERT_TRUE(list->expanded());
    list->LoadNote(note);

    answer = MessageBox::IdNo;
    window->EraseAll();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions.first(),
              QStringLiteral("KS Tackpad|You are about to errase the contents of this note.\r\n\r\n"
                             "Are you sure about this ?"));
    EXPECT_EQ(window->Text(), QStringLiteral("precious"));

    answer = MessageBox::IdYes;
    window->EraseAll();
    EXPECT_TRUE(window->Text().isEmpty());
    EXPECT_EQ(list->currentNote(), note);

    list->LoadNote(note);
    list->Expand();
    ASSERT_FALSE(list->expanded());
    questions.clear();
    window->EraseAll();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(window->Text().isEmpty());
    EXPECT_TRUE(list->currentNote().isEmpty());
    EXPECT_TRUE(window->TopText().isEmpty());
}

TEST_F(TackpadTest, APrintWhileANoteIsCurrentAsksAndIsAddedEitherWay)
{
    const QString note = writeNote(QStringLiteral("Printed"), QStringLiteral("start"));
    start();
    list->LoadNote(note);
    struct Row
    {
        int answer;
        bool staysCurrent;
    };
    const QList<Row> rows = {{MessageBox::IdNo, true}, {MessageBox::IdYes, false}};
    for (const Row &row : rows) {
        questions.clear();
        answer = row.answer;
        window->DebugPrint(QStringLiteral("from a client"));
        ASSERT_EQ(questions.size(), 1);
        EXPECT_TRUE(questions.first().startsWith(
            QStringLiteral("KS Tackpad|Another application has sent some Debug information to the main window.\r\n\r\n"
                           "Do you wish disconnect the association with the currently selected note ?")));
        EXPECT_EQ(list->currentNote().isEmpty(), !row.staysCurrent);
        EXPECT_TRUE(window->Text().endsWith(QStringLiteral("from a client\r\n"))) << window->Text().toStdString();
    }
    questions.clear();
    window->DebugPrint(QStringLiteral("no note now"));
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(TackpadTest, SavingANoteTypeFileShowsSavingAndWritesRichText)
{
    start();
    window->setText(QStringLiteral("saved through the host"));
    const QString path = notes + QStringLiteral("/Through host.Tackpad");
    plugin->fileType()->RaiseSaved(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("{\\rtf"));
    EXPECT_TRUE(listed().contains(QStringLiteral("Through host")));
    SplashForm *splash = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<SplashForm *>(widget); found && found->isVisible())
            splash = found;
    }
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->lblStatus()->text(), QStringLiteral("Saving..."));
    EXPECT_EQ(splash->delay(), 3);
}

TEST_F(TackpadTest, KillLeavesUnsavedTextUnsaved)
{
    const QString note = writeNote(QStringLiteral("Unsaved"), QStringLiteral("on disk"));
    start();
    list->LoadNote(note);
    window->setText(QStringLiteral("only on screen"));
    plugin->Kill();
    EXPECT_EQ(noteText(note), QStringLiteral("on disk"));
}

TEST_F(TackpadTest, AFileOpenedByTheHostNeverReachesTheNoteItReplaced)
{
    const QString note = writeNote(QStringLiteral("Replaced"), QStringLiteral("original"));
    const QString elsewhere = TestEnvironment::freshFolder(QStringLiteral("elsewhere"));
    start();
    list->LoadNote(note);

    // The host's Open: BeforeOpen, the type's Opened, AfterOpen.
    const QString foreign = elsewhere + QStringLiteral("/Foreign.Tackpad");
    QFile::copy(note, foreign);
    window->setText(QStringLiteral("foreign text"));
    window->SaveFile(foreign, wlog_RTF);
    window->setText(QStringLiteral("original"));
    notify(window, 6);
    plugin->fileType()->RaiseOpened(foreign);
    notify(window, 7, QVariantList {foreign});
    EXPECT_TRUE(list->currentNote().isEmpty());
    list->SaveNote();
    EXPECT_EQ(noteText(note), QStringLiteral("original"));

    // A note of the folder opened the same way becomes the current note.
    notify(window, 6);
    plugin->fileType()->RaiseOpened(note);
    notify(window, 7, QVariantList {note});
    EXPECT_EQ(list->currentNote(), note);
    EXPECT_EQ(window->TopText(), QStringLiteral("Replaced"));
}

TEST(NoteFilesTest, NamesOfNewNotesAndOfNoteFiles)
{
    struct Row
    {
        QDateTime at;
        QString name;
    };
    const QList<Row> rows = {
        {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 59)), QStringLiteral("Notes (06-December-26 09_05)")},
        {QDateTime(QDate(2027, 1, 1), QTime(21, 30)), QStringLiteral("Notes (01-January-27 21_30)")},
        {QDateTime(QDate(2000, 5, 31), QTime(0, 0)), QStringLiteral("Notes (31-May-00 00_00)")},
    };
    for (const Row &row : rows)
        EXPECT_EQ(NoteFiles::newNoteName(row.at), row.name);

    EXPECT_EQ(NoteFiles::nameOf(QStringLiteral("/x/y/Plan v1.2.Tackpad")), QStringLiteral("Plan v1.2"));
    EXPECT_EQ(NoteFiles::nameOf(QStringLiteral("/x/y.z/NoDot")), QStringLiteral("NoDot"));
}

TEST_F(TackpadTest, AFailedSaveAtQuitKeepsTheWindowOpenWithItsText)
{
    const QString note = writeNote(QStringLiteral("Blocked"), QStringLiteral("on disk"));
    start();
    list->LoadNote(note);
    window->setText(QStringLiteral("typed since"));
    // The note can no longer be written: a folder has taken its name.
    ASSERT_TRUE(QFile::remove(note));
    ASSERT_TRUE(QDir().mkdir(note));
    bool cancel = false;
    window->Notify(17, {}, cancel); // BeforeQuit
    EXPECT_TRUE(cancel) << "the quit goes on and the text is lost";
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.constFirst().startsWith(QStringLiteral("TackpadPopupForm.moWindow_BeforeQuit:")))
        << failures.constFirst().toStdString();
    EXPECT_EQ(window->Text(), QStringLiteral("typed since"));
    EXPECT_EQ(list->currentNote(), note);

    // Once the note can be written again the quit goes on, the text saved.
    ASSERT_TRUE(QDir().rmdir(note));
    failures.clear();
    cancel = false;
    window->Notify(17, {}, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(noteText(note), QStringLiteral("typed since"));
}

TEST_F(TackpadTest, SwitchingNotesHidingTheListAndQuittingSaveTheCurrentNoteFirst)
{
    const QString first = writeNote(QStringLiteral("First"), QStringLiteral("first on disk"));
    const QString second = writeNote(QStringLiteral("Second"), QStringLiteral("second on disk"));
    start();
    QListWidget *notesList = list->lvwNotes();
    ASSERT_EQ(notesList->count(), 2);

    // Another note picked in the list.
    list->LoadNote(first);
    window->setText(QStringLiteral("first, edited"));
    emit notesList->itemClicked(notesList->item(1));
    EXPECT_EQ(list->currentNote(), second);
    EXPECT_EQ(window->Text(), QStringLiteral("second on disk"));
    EXPECT_EQ(noteText(first), QStringLiteral("first, edited")) << "switching notes";

    // The list hidden through its command.
    window->setText(QStringLiteral("second, edited"));
    ASSERT_TRUE(list->expanded());
    list->mnuExpandItem()->MenuClick();
    ASSERT_FALSE(list->expanded());
    EXPECT_EQ(noteText(second), QStringLiteral("second, edited")) << "hiding the list";

    // The window asked to close.
    window->setText(QStringLiteral("second, edited again"));
    bool cancel = false;
    window->Notify(17, {}, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(noteText(second), QStringLiteral("second, edited again")) << "quitting";
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
}
