#include "PluginHostFixture.h"

#include "AutomationError.h"
#include "FileType.h"
#include "FileTypeCollection.h"
#include "KSStorageString.h"
#include "GlobalLibrary.h"
#include "MessageBox.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PluginWindowFont.h"
#include "RichTextView.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString recorder = QStringLiteral("WLTestRecorder.Recorder");
const QString listener = QStringLiteral("WLTestRecorder.Listener");

} // namespace

TEST(Facade, WrapSwitchesTheRightMargin)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();
    ASSERT_NE(w, nullptr);

    w->setWrap(false);
    EXPECT_EQ(w->RightMargin(), 999999);
    EXPECT_FALSE(w->Wrap());
    w->setWrap(true);
    EXPECT_EQ(w->RightMargin(), 0);
    EXPECT_TRUE(w->Wrap());
    w->setRightMargin(1);
    EXPECT_FALSE(w->Wrap());
    EXPECT_EQ(host.form->rtbDetails()->RightMargin(), 1);
}

TEST(Facade, AliasPairsReachTheSameValue)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();
    host.form->rtbDetails()->setText(QStringLiteral("coloured"));
    w->setSelStart(0);
    w->setSelLength(8);

    using Set = std::function<void(qint32)>;
    using Get = std::function<qint32()>;
    struct Row
    {
        const char *name;
        Set set;
        Get twin;
        Get self;
    };
    const Row rows[] = {
        {"BackColour", [w](qint32 c) { w->setBackColour(c); }, [w] { return w->BackColor(); },
         [w] { return w->BackColour(); }},
        {"BackColor", [w](qint32 c) { w->setBackColor(c); }, [w] { return w->BackColour(); },
         [w] { return w->BackColor(); }},
        {"SelColor", [w](qint32 c) { w->setSelColor(c); }, [w] { return w->SelColour(); },
         [w] { return w->SelColor(); }},
        {"SelColour", [w](qint32 c) { w->setSelColour(c); }, [w] { return w->SelColor(); },
         [w] { return w->SelColour(); }},
        {"TopTextBackColour", [w](qint32 c) { w->setTopTextBackColour(c); }, [w] { return w->TopTextBackColor(); },
         [w] { return w->TopTextBackColour(); }},
        {"TopTextForeColor", [w](qint32 c) { w->setTopTextForeColor(c); }, [w] { return w->TopTextForeColour(); },
         [w] { return w->TopTextForeColor(); }},
    };
    qint32 colour = 0x102030;
    for (const Row &row : rows) {
        colour += 0x010101;
        row.set(colour);
        EXPECT_EQ(row.twin(), colour) << row.name;
        EXPECT_EQ(row.self(), colour) << row.name;
    }
}

TEST(Facade, ReadingTheIndentLeavesTheHangingIndentAlone)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();
    w->setText(QStringLiteral("one paragraph"));
    w->setSelStart(0);
    w->setSelIndent(300);
    w->setSelHangingIndent(150);
    EXPECT_EQ(w->SelIndent(), 300);
    EXPECT_EQ(w->SelHangingIndent(), 150);
    EXPECT_EQ(w->SelHangingIndent(), 150);
}

TEST(Facade, ShowMessageTitlesAnEmptyCaptionWithTheApplicationTitle)
{
    AppFolder app;
    RunningHost host(app);
    QList<MessageBox::Request> seen;
    auto previous = MessageBox::setPresenter([&](const MessageBox::Request &request) {
        seen.append(request);
        return int(MessageBox::IdNo);
    });
    EXPECT_EQ(host.window()->ShowMessage(4, QStringLiteral("Sure?")), 7);
    EXPECT_EQ(host.window()->ShowMessage(0, QStringLiteral("Done"), QStringLiteral("Scanner")), 7);
    MessageBox::setPresenter(previous);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].caption, GlobalLibrary::applicationTitle());
    EXPECT_EQ(seen[0].style, 4);
    EXPECT_EQ(seen[0].text, QStringLiteral("Sure?"));
    EXPECT_EQ(seen[1].caption, QStringLiteral("Scanner"));
}

TEST(Facade, CancellingListenerStopsPrintEraseAndQuitWhileOthersStillHear)
{
    AppFolder app;
    app.install(QStringLiteral("Canceller"), QStringLiteral("A"));
    app.install(QStringLiteral("Recorder"), QStringLiteral("B"));
    RunningHost host(app);
    ASSERT_EQ(host.manager()->PluginCount(), 3);
    QObject *canceller = host.pluginObject(QStringLiteral("WLTestCanceller.Canceller"));

    canceller->setProperty("Cancelling", false);
    host.window()->DebugPrint(QStringLiteral("kept"));
    canceller->setProperty("Cancelling", true);
    host.window()->DebugPrint(QStringLiteral("suppressed"));
    EXPECT_EQ(host.form->rtbDetails()->Text(), QStringLiteral("kept\r\n"));

    host.window()->EraseAll();
    EXPECT_EQ(host.form->rtbDetails()->Text(), QStringLiteral("kept\r\n"));
    EXPECT_FALSE(host.form->close());

    const QStringList expected {
        QStringLiteral("DebugPrint(kept,-2,true)"),
        QStringLiteral("DebugPrint(suppressed,-2,true)"),
        QStringLiteral("BeforeEraseAll"),
        QStringLiteral("BeforeQuit"),
    };
    EXPECT_EQ(eventsHeard(host, recorder), expected); // and no AfterEraseAll

    canceller->setProperty("Cancelling", false);
    host.window()->EraseAll();
    EXPECT_EQ(host.form->rtbDetails()->Text(), QString());
    EXPECT_EQ(eventsHeard(host, recorder).constLast(), QStringLiteral("AfterEraseAll"));
}

TEST(Facade, EveryPluginHearsEveryEventWithItsValues)
{
    AppFolder app;
    app.install(QStringLiteral("Recorder"), QStringLiteral("R"));
    RunningHost host(app);
    PluginWindow *w = host.window();

    struct Row
    {
        qint32 code;
        QVariant values;
        const char *heard; // nullptr: no event
    };
    const QList<Row> rows {
        {0, {}, "Ready"},
        {1, {}, "DebugShow"},
        {2, QVariantList {QStringLiteral("text"), -4, false}, "DebugPrint(text,-4,false)"},
        {3, true, "Busy(true)"},
        {4, true, "OnTop(true)"},
        {5, false, "Fold(false)"},
        {6, {}, "BeforeOpen"},
        {7, QStringLiteral("/a/b.rtf"), "AfterOpen(/a/b.rtf)"},
        {8, {}, "BeforeSave"},
        {9, QStringLiteral("/a/c.txt"), "AfterSave(/a/c.txt)"},
        {10, {}, "BeforeEraseAll"},
        {11, {}, "AfterEraseAll"},
        {12, QVariant::fromValue(QList<qint32> {65, 1}), "KeyPress(65,1)"},
        {13, {}, "Activate"},
        {14, {}, "DeActivate"},
        {15, {}, "Resize"},
        {17, {}, "BeforeQuit"},
        {18, {}, "Move"},
        {19, true, "Translucency(true)"},
        {20, {}, "TopTextChange"},
        {21, 97, "TopTextKeyPress(97)"},
        {22, {}, nullptr},
        {23, {}, "TopTextLostFocus"},
        {24, {}, "TopTextGotFocus"},
        {25, {}, "LostFocus"},
        {26, {}, "GotFocus"},
        {27, {}, "Change"},
        {28, {}, "Click"},
        {29, {}, "DblClick"},
        {30, QVariantList {1, 2, 3.5, 4}, "MouseMove(1,2,3.5,4)"},
        {31, {}, "SelChange"},
        {32, {}, nullptr},
        {-1, {}, nullptr},
    };
    QStringList expected;
    for (const Row &row : rows) {
        bool cancel = false;
        w->Notify(row.code, row.values, cancel);
        EXPECT_FALSE(cancel) << row.code;
        if (row.heard)
            expected.append(QString::fromLatin1(row.heard));
    }
    ASSERT_EQ(expected.size(), 30);
    EXPECT_EQ(eventsHeard(host, recorder, true), expected);
    EXPECT_EQ(eventsHeard(host, listener, true), expected);
}

TEST(Facade, PluginsHearTheirOwnPrintsToo)
{
    AppFolder app;
    app.install(QStringLiteral("Echo"), QStringLiteral("A"));
    app.install(QStringLiteral("Recorder"), QStringLiteral("B"));
    RunningHost host(app);

    host.form->DebugPrint(QStringLiteral("hello"), wlogFail);
    // The echo is printed from inside the first print's event, before it.
    EXPECT_EQ(host.form->rtbDetails()->Text(), QStringLiteral("echo: hello\r\nhello\r\n"));
    // Echo listens first (loaded first), so the recorder hears the echo before the print that caused it.
    const QStringList expected {QStringLiteral("DebugPrint(echo: hello,-3,true)"),
                                QStringLiteral("DebugPrint(hello,-4,true)")};
    EXPECT_EQ(eventsHeard(host, recorder), expected);
}

TEST(Facade, FontWrappersShareTheControlsFont)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();

    for (const bool topText : {false, true}) {
        std::unique_ptr<PluginWindowFont> first(topText ? w->TopTextFont() : w->Font());
        std::unique_ptr<PluginWindowFont> second(topText ? w->TopTextFont() : w->Font());
        ASSERT_NE(first.get(), second.get());
        first->setBold(!first->Bold());
        EXPECT_EQ(second->Bold(), first->Bold());
        second->setSize(14);
        EXPECT_EQ(first->Size(), 14);
        first->setName(QStringLiteral("Courier New"));
        second->setUnderline(true);
        EXPECT_TRUE(first->Underline());
        const QFont live = topText ? host.form->txtLable()->font() : host.form->rtbDetails()->font();
        EXPECT_EQ(live.pointSize(), 14);
        EXPECT_TRUE(live.underline());
    }

    PluginWindowFont loose;
    try {
        loose.Bold();
        FAIL() << "an unattached font must fail";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 91);
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginWindowFont.Bold (Get)"));
    }
}

TEST(Facade, TopTextMembersDriveTheTopBox)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();
    QLineEdit *box = host.form->txtLable();

    w->setTopText(QStringLiteral("Scanning folder"));
    EXPECT_EQ(box->text(), QStringLiteral("Scanning folder"));
    w->setTopTextSelStart(9);
    w->setTopTextSelLength(6);
    EXPECT_EQ(w->TopTextSelText(), QStringLiteral("folder"));
    w->setTopTextSelText(QStringLiteral("files"));
    EXPECT_EQ(w->TopText(), QStringLiteral("Scanning files"));
    w->setTopTextLocked(false);
    EXPECT_FALSE(box->isReadOnly());
    w->setTopTextPasswordChar(QStringLiteral("*"));
    EXPECT_EQ(w->TopTextPasswordChar(), QStringLiteral("*"));
    EXPECT_EQ(box->echoMode(), QLineEdit::Password);
}

TEST(Facade, FailuresNameTheMemberInTheSource)
{
    PluginWindow w(nullptr); // a facade whose window has gone
    struct Row
    {
        const char *label; // the last source line expected; nullptr: passed on unchanged
        std::function<void()> call;
    };
    const QList<Row> rows {
        {"PluginWindow.SelBold (Get)", [&] { w.SelBold(); }},
        {"PluginWindow.SelBold (Let)", [&] { w.setSelBold(true); }},
        {"PluginWindow.Backcolour (Get)", [&] { w.BackColor(); }},
        {"PluginWindow.Backcolour (Let)", [&] { w.setBackColour(1); }},
        {"DebugText", [&] { w.DebugPrint(QStringLiteral("x")); }},
        {"PluginWindow.TopText (Let)", [&] { w.setTopText(QStringLiteral("x")); }},
        {"PluginWindow.Wrap (Get)", [&] { w.Wrap(); }},
        {"PluginWindow.PrintIt", [&] { w.PrintIt(); }},
        {nullptr, [&] { w.SetFocus(); }},
    };
    for (const Row &row : rows) {
        try {
            row.call();
            ADD_FAILURE() << (row.label ? row.label : "SetFocus") << " did not fail";
        } catch (const AutomationError &error) {
            EXPECT_EQ(error.number(), 91);
            const QStringList lines = error.sourceLines();
            if (row.label) {
                ASSERT_EQ(lines.size(), 2) << row.label;
                EXPECT_EQ(lines.constLast(), QString::fromLatin1(row.label));
            } else {
                EXPECT_EQ(lines.size(), 1);
            }
        }
    }
}

TEST(Facade, PrintItWithoutAUsablePrinterIsAPrinterError)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();
    host.form->rtbDetails()->setText(QStringLiteral("to paper"));
    const QString pdf = app.path + QStringLiteral("/printed.pdf");
    struct Row
    {
        const char *printer;
        std::function<std::unique_ptr<QPrinter>()> make;
        bool prints;
    };
    const QList<Row> rows {
        {"a printer the system does not know",
         [] {
             auto printer = std::make_unique<QPrinter>();
             printer->setPrinterName(QStringLiteral("WrenlogNoSuchPrinter"));
             printer->setOutputFormat(QPrinter::NativeFormat);
             return printer;
         },
         false},
        {"a PDF printer that writes nowhere",
         [] {
             auto printer = std::make_unique<QPrinter>();
             printer->setOutputFormat(QPrinter::PdfFormat);
             printer->setOutputFileName(QString());
             return printer;
         },
         false},
        {"a PDF file",
         [pdf] {
             auto printer = std::make_unique<QPrinter>();
             printer->setOutputFormat(QPrinter::PdfFormat);
             printer->setOutputFileName(pdf);
             return printer;
         },
         true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.printer);
        PluginWindow::setPrinterFactory(row.make);
        try {
            w->PrintIt();
            EXPECT_TRUE(row.prints) << "reported success";
            EXPECT_GT(QFileInfo(pdf).size(), 0);
        } catch (const AutomationError &error) {
            EXPECT_FALSE(row.prints) << qPrintable(error.description());
            EXPECT_EQ(error.number(), 482);
            EXPECT_EQ(error.description(), QStringLiteral("Printer error"));
            EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginWindow.PrintIt"));
        }
    }
    PluginWindow::setPrinterFactory({});
}

TEST(Facade, PluginsReachTheSharedWindowInProcess)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("Echo"), QStringLiteral("A"));
    app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"), "[StartUp]\nWLTestEcho.Echo=True\n");
    auto previous = MessageBox::setPresenter([](const MessageBox::Request &) { return int(MessageBox::IdYes); });
    RunningHost host(app, true);
    MessageBox::setPresenter(previous);

    ASSERT_EQ(host.form, SharedWindow::instance().form());
    // Echo's Run printed through GlobalWindow into the very window it listens to.
    EXPECT_EQ(host.form->rtbDetails()->Text(),
              QStringLiteral("echo: through GlobalWindow\r\nthrough GlobalWindow\r\n"));
    EXPECT_TRUE(pluginTrace().contains(QStringLiteral("WLTestEcho.Echo:ShowMessage=6")));
}

TEST(Facade, FailingEventHandlerReachesTheWindowAsAFailureOfNotify)
{
    AppFolder app;
    app.install(QStringLiteral("Recorder"), QStringLiteral("A"));
    app.install(QStringLiteral("Failing"), QStringLiteral("B"));
    RunningHost host(app);
    bool cancel = false;
    try {
        host.window()->Notify(29, {}, cancel);
        FAIL() << "the handler's failure was lost";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.description(), QStringLiteral("DblClick handler is broken"));
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginWindow.Notify"));
    }
    // Listeners before the failing one heard the event; the window carries on.
    EXPECT_EQ(eventsHeard(host, recorder), QStringList {QStringLiteral("DblClick")});
    host.window()->DebugPrint(QStringLiteral("still printing"));
    EXPECT_EQ(host.form->rtbDetails()->Text(), QStringLiteral("still printing\r\n"));
}

TEST(Facade, PiecesThatWaitedAreNeverHeardOfLateByALaterListener)
{
    AppFolder app;
    RunningHost host(app); // no plug-ins: nobody hears the view's events
    PluginWindow *w = host.window();
    RichTextView *view = host.form->rtbDetails();
    w->DebugPrint(QStringLiteral("waits"), wlogNote);
    ASSERT_TRUE(view->hasPending());

    int changes = 0;
    int selChanges = 0;
    const QMetaObject::Connection change = QObject::connect(w, &PluginWindow::Change, [&] { ++changes; });
    const QMetaObject::Connection selChange = QObject::connect(w, &PluginWindow::SelChange, [&] { ++selChanges; });
    // Now somebody listens: the next piece goes in at once, with its events,
    // and the piece that waited goes in first without any.
    w->DebugPrint(QStringLiteral("heard"));
    EXPECT_FALSE(view->hasPending());
    EXPECT_EQ(changes, 1);
    EXPECT_GE(selChanges, 1);
    const int changesForOnePiece = changes;
    const int selChangesForOnePiece = selChanges;
    EXPECT_EQ(w->Text(), QStringLiteral("waits\r\nheard\r\n"));
    EXPECT_EQ(changes, changesForOnePiece);
    EXPECT_EQ(selChanges, selChangesForOnePiece);

    QObject::disconnect(change);
    QObject::disconnect(selChange);
    w->DebugPrint(QStringLiteral("waits again"));
    EXPECT_TRUE(view->hasPending());
    EXPECT_EQ(w->Text(), QStringLiteral("waits\r\nheard\r\nwaits again\r\n"));
}

TEST(Facade, MembersAreReachedByName)
{
    AppFolder app;
    RunningHost host(app);
    PluginWindow *w = host.window();

    // Properties read and write through the same members as the typed calls.
    ASSERT_TRUE(w->setProperty("TopText", QStringLiteral("Named")));
    EXPECT_EQ(host.form->txtLable()->text(), QStringLiteral("Named"));
    EXPECT_EQ(w->property("TopText"), QVariant(QStringLiteral("Named")));
    ASSERT_TRUE(w->setProperty("Wrap", false));
    EXPECT_EQ(w->property("RightMargin"), QVariant(qint32(999999)));
    ASSERT_TRUE(w->setProperty("OnTop", true));
    EXPECT_TRUE(host.form->OnTop());
    ASSERT_TRUE(w->setProperty("ScrollBars", qint32(wlog_Vertical)));
    EXPECT_EQ(w->property("ScrollBars"), QVariant(qint32(wlog_Vertical)));
    EXPECT_EQ(w->property("hWnd"), w->hWnd());

    // Methods are invokables.
    ASSERT_TRUE(QMetaObject::invokeMethod(w, "DebugPrint", Q_ARG(QString, QStringLiteral("by name")),
                                          Q_ARG(qint32, wlogNote), Q_ARG(bool, true)));
    EXPECT_EQ(w->property("Text"), QVariant(QStringLiteral("by name\r\n")));
    qint32 found = 0;
    ASSERT_TRUE(QMetaObject::invokeMethod(w, "Find", Q_RETURN_ARG(qint32, found),
                                          Q_ARG(QString, QStringLiteral("name")), Q_ARG(qint32, 0)));
    EXPECT_EQ(found, 3);
    ASSERT_TRUE(w->setProperty("SelTabCount", 1));
    ASSERT_TRUE(QMetaObject::invokeMethod(w, "setSelTabs", Q_ARG(qint32, 0), Q_ARG(qint32, 720)));
    qint32 tab = 0;
    ASSERT_TRUE(QMetaObject::invokeMethod(w, "SelTabs", Q_RETURN_ARG(qint32, tab), Q_ARG(qint32, 0)));
    EXPECT_EQ(tab, 720);

    // The file types come back as what they are, no casts needed.
    FileTypeCollection *types = w->FileTypes();
    ASSERT_NE(types, nullptr);
    FileType *log = w->FileTypes()->Add(QStringLiteral("log"), QStringLiteral("Log File"));
    w->setDefaultFileTypeFilter(log);
    EXPECT_EQ(w->DefaultFileTypeFilter(), log);
    EXPECT_EQ(w->property("FileTypes").value<FileTypeCollection *>(), types);
    EXPECT_EQ(w->property("DefaultFileTypeFilter").value<FileType *>(), log);
    FileType *csv = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(types, "Add", Q_RETURN_ARG(FileType *, csv),
                                          Q_ARG(QString, QStringLiteral("csv")),
                                          Q_ARG(QString, QStringLiteral("Values"))));
    ASSERT_NE(csv, nullptr);
    EXPECT_EQ(csv->property("Extention"), QVariant(QStringLiteral(".csv")));
    EXPECT_EQ(csv->property("Index"), QVariant(qint32(types->Count())));
    QVariant matches;
    ASSERT_TRUE(QMetaObject::invokeMethod(csv, "CheckFileType", Q_RETURN_ARG(QVariant, matches),
                                          Q_ARG(QString, QStringLiteral("a.CSV"))));
    EXPECT_EQ(matches, QVariant(true));

    // Menu items too.
    PluginMenuItem *item = w->Menu()->AddMenuItem(QStringLiteral("Named"));
    ASSERT_TRUE(item->setProperty("Caption", QStringLiteral("Renamed")));
    EXPECT_EQ(item->Caption(), QStringLiteral("Renamed"));
    ASSERT_TRUE(item->setProperty("Checked", true));
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(item->property("Index"), QVariant(qint32(1)));
    EXPECT_EQ(w->property("Menu").value<PluginMenu *>(), w->Menu());

    // A storage string mirrors the debug text through the facade's Text property.
    KSStorageString store;
    store.setBindMode(ledgerix_BindModeText);
    store.setBoundObject(w);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("by name\r\n"));
    store.SetValue(QStringLiteral("F"), 1);
    EXPECT_TRUE(host.form->rtbDetails()->Text().endsWith(QStringLiteral("<\\F={1};/>")));
    store.setBindMode(ledgerix_BindModeNone);
}
