// The real wrenlog executable on a virtual display and a private bus, driven
// through the client library, wrenlog-send and raw bus calls.

#include "E2eSession.h"

#include "AutomationError.h"
#include "RegistryStore.h"
#include "wrenlog/GlobalLibrary.h"
#include "wrenlog/GlobalWindow.h"
#include "wrenlog/PieceStream.h"
#include "wrenlog/PrivateWindow.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString globalWindow = QStringLiteral("/GlobalWindow");

class BusEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(session.start()) << qPrintable(session.error()); }

    QString sharedText() { return session.window(globalWindow).value(QStringLiteral("Text")).toString(); }
    int privateWindowCount() { return session.counts().value(QStringLiteral("PrivateWindows"), -1).toInt(); }
    int debugWindowCount() { return session.counts().value(QStringLiteral("DebugWindows"), -1).toInt(); }

    QDBusMessage rawCall(const QString &path, const QString &interface, const QString &method,
                         const QVariantList &arguments)
    {
        QDBusMessage call
            = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), path, interface, method);
        call.setArguments(arguments);
        return session.bus().call(call, QDBus::Block, 30000);
    }

    E2eSession session;
};

TEST_F(BusEndToEnd, TwoClientsShareTheWindowAndDebugShowIgnoresPass)
{
    const QDBusConnection second = QDBusConnection::connectToBus(session.busAddress(), QStringLiteral("second-client"));
    ASSERT_TRUE(second.isConnected());
    Wrenlog::GlobalWindow first(session.bus());
    Wrenlog::GlobalWindow other(second);

    first.DebugPrint(QStringLiteral("from the first"));
    other.DebugPrint(QStringLiteral("from the second"), Wrenlog::wlogFail);
    first.DebugPrint(QStringLiteral("x"), 255, false);
    other.DebugPrint(QStringLiteral("y"), Wrenlog::wlogTitle);

    EXPECT_EQ(sharedText(), QStringLiteral("from the first\r\nfrom the second\r\nxy\r\n"));
    EXPECT_EQ(debugWindowCount(), 1);
    // Printing loads the window but does not show it.
    EXPECT_FALSE(session.window(globalWindow).value(QStringLiteral("Visible")).toBool());

    other.DebugShow(QStringLiteral("anything at all"));
    EXPECT_TRUE(session.window(globalWindow).value(QStringLiteral("Visible")).toBool());
    first.DebugShow();
    EXPECT_TRUE(session.window(globalWindow).value(QStringLiteral("Visible")).toBool());
    EXPECT_EQ(session.window(globalWindow).value(QStringLiteral("Title")).toString(), QStringLiteral("Wrenlog !"));
    QDBusConnection::disconnectFromBus(QStringLiteral("second-client"));
}

TEST_F(BusEndToEnd, PrivateWindowIsItsOwnHiddenRestrictedWindowUntilReleased)
{
    Wrenlog::GlobalWindow shared(session.bus());
    shared.DebugPrint(QStringLiteral("shared text"));
    QString path;
    {
        Wrenlog::PrivateWindow window(session.bus());
        path = window.objectPath();
        ASSERT_TRUE(path.startsWith(QStringLiteral("/PrivateWindow/"))) << qPrintable(path);

        QVariantMap state = session.window(path);
        ASSERT_TRUE(state.value(QStringLiteral("Loaded")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("Visible")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("btnClose.Visible")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("btnPlugins.Visible")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("mnuSep3.Visible")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("mnuPlugins.Visible")).toBool());
        EXPECT_TRUE(state.value(QStringLiteral("btnOpen.Visible")).toBool());
        EXPECT_FALSE(state.value(QStringLiteral("mnuQuit.Enabled")).toBool());
        EXPECT_EQ(state.value(QStringLiteral("mnuQuit.Caption")).toString(), QStringLiteral("Quit (Private Window)"));

        window.DebugPrint(QStringLiteral("private text"));
        window.DebugShow();
        state = session.window(path);
        EXPECT_TRUE(state.value(QStringLiteral("Visible")).toBool());
        EXPECT_EQ(state.value(QStringLiteral("Title")).toString(), QStringLiteral("Wrenlog ! - Private Window"));
        EXPECT_EQ(state.value(QStringLiteral("Text")).toString(), QStringLiteral("private text\r\n"));
        EXPECT_EQ(sharedText(), QStringLiteral("shared text\r\n"));

        window.DebugShow(QStringLiteral("Importer"));
        EXPECT_EQ(session.window(path).value(QStringLiteral("Title")).toString(), QStringLiteral("Importer"));
        window.Clear();
        EXPECT_EQ(session.window(path).value(QStringLiteral("Text")).toString(), QString());
        EXPECT_EQ(privateWindowCount(), 1);
        EXPECT_EQ(debugWindowCount(), 2);
    }
    EXPECT_FALSE(session.window(path).value(QStringLiteral("Loaded")).toBool());
    EXPECT_EQ(privateWindowCount(), 0);
    EXPECT_TRUE(E2eSession::waitFor([&] { return debugWindowCount() == 1; }));
    // The released window is gone from the bus as well.
    const QDBusMessage late = rawCall(path, QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("Clear"), {});
    EXPECT_EQ(late.type(), QDBusMessage::ErrorMessage);
}

TEST_F(BusEndToEnd, UserClosesRefusedForPrivateWindowsAndSharedWindowComesBackOnNextCall)
{
    Wrenlog::GlobalWindow shared(session.bus());
    shared.DebugPrint(QStringLiteral("first life"));
    shared.DebugShow();
    Wrenlog::PrivateWindow window(session.bus());
    window.DebugShow();

    EXPECT_FALSE(session.closeWindow(window.objectPath()));
    EXPECT_TRUE(session.window(window.objectPath()).value(QStringLiteral("Visible")).toBool());

    EXPECT_TRUE(session.closeWindow(globalWindow));
    EXPECT_TRUE(E2eSession::waitFor([&] { return debugWindowCount() == 1; }));
    EXPECT_FALSE(session.window(globalWindow).value(QStringLiteral("Loaded")).toBool());

    shared.DebugPrint(QStringLiteral("second life"));
    EXPECT_EQ(sharedText(), QStringLiteral("second life\r\n"));
    EXPECT_EQ(debugWindowCount(), 2);
}

TEST_F(BusEndToEnd, WrongArgumentsGetBusErrorsAndTheServerLivesOn)
{
    Wrenlog::GlobalWindow window(session.bus());
    window.DebugPrint(QStringLiteral("before"));
    const qint64 pid = session.serverPid();
    ASSERT_GT(pid, 0);

    struct Row
    {
        const char *path;
        const char *interface;
        const char *method;
        QVariantList arguments;
    };
    const QList<Row> rows = {
        {"/GlobalWindow", "org.wrenlog.GlobalWindow", "DebugPrint", {42, QStringLiteral("x"), true}},
        {"/GlobalWindow", "org.wrenlog.GlobalWindow", "DebugPrint", {QStringLiteral("only the text")}},
        {"/GlobalWindow", "org.wrenlog.GlobalWindow", "DebugPrint", {QStringLiteral("t"), -2, true, 7}},
        {"/GlobalWindow", "org.wrenlog.GlobalWindow", "NoSuchMember", {}},
        {"/GlobalWindow", "org.wrenlog.Batch", "DebugPrintMany", {QStringLiteral("not pieces")}},
        {"/GlobalLibrary", "org.wrenlog.GlobalLibrary", "MakeTranslucent", {QStringLiteral("handle")}},
        {"/PrivateWindows", "org.wrenlog.PrivateWindowFactory", "Create", {1}},
        {"/PrivateWindow/999", "org.wrenlog.PrivateWindow", "DebugPrint", {QStringLiteral("t"), -2, true}},
        {"/Nowhere", "org.wrenlog.GlobalWindow", "DebugShow", {QString()}},
    };
    for (const Row &row : rows) {
        const QDBusMessage reply = rawCall(QString::fromLatin1(row.path), QString::fromLatin1(row.interface),
                                           QString::fromLatin1(row.method), row.arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << row.path << " " << row.method;
        EXPECT_TRUE(reply.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.")))
            << qPrintable(reply.errorName());
    }
    window.DebugPrint(QStringLiteral("after"));
    EXPECT_EQ(session.serverPid(), pid);
    EXPECT_EQ(sharedText(), QStringLiteral("before\r\nafter\r\n"));
}

TEST_F(BusEndToEnd, ShowMessageUsesTheTitleForAnEmptyCaptionAndReturnsYesOrNo)
{
    struct Row
    {
        QString caption;
        QString expectedTitle;
        QString press;
        int expected;
    };
    const QList<Row> rows = {
        {QString(), QStringLiteral("Wrenlog !"), QStringLiteral("No"), 7},
        {QStringLiteral("Question"), QStringLiteral("Question"), QStringLiteral("Yes"), 6},
    };
    for (const Row &row : rows) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/GlobalLibrary"),
            QStringLiteral("org.wrenlog.GlobalLibrary"), QStringLiteral("ShowMessage"));
        call.setArguments({4, row.caption, QStringLiteral("Go on?")});
        QDBusPendingReply<int> answer = session.bus().asyncCall(call, 60000);
        QVariantMap dialog;
        ASSERT_TRUE(E2eSession::waitFor([&] {
            dialog = session.modalDialog();
            return dialog.contains(QStringLiteral("Title"));
        }));
        EXPECT_EQ(dialog.value(QStringLiteral("Title")).toString(), row.expectedTitle);
        EXPECT_EQ(dialog.value(QStringLiteral("Text")).toString(), QStringLiteral("Go on?"));
        QStringList buttons = dialog.value(QStringLiteral("Buttons")).toStringList();
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList {QStringLiteral("No"), QStringLiteral("Yes")}));
        ASSERT_TRUE(session.pressButton(row.press));
        answer.waitForFinished();
        ASSERT_TRUE(answer.isValid()) << qPrintable(answer.error().message());
        EXPECT_EQ(answer.value(), row.expected);
    }
}

TEST_F(BusEndToEnd, TheWindowPositionIsKeptUnderTheProgramsTitle)
{
    // The executable is wrenlog; the program is Wrenlog, and so is its key.
    Wrenlog::GlobalWindow window(session.bus());
    window.DebugShow();
    ASSERT_TRUE(session.closeWindow(globalWindow));
    RegistryStore store(session.environment().value(QStringLiteral("XDG_CONFIG_HOME"))
                        + QStringLiteral("/ledgerix/registry.sqlite"));
    Registry::Key vendor;
    ASSERT_EQ(store.openKey(Registry::CurrentUser, QStringLiteral("Software\\Kestrane"), Registry::Read, &vendor),
              Registry::Success);
    QStringList programs;
    QString name;
    for (quint32 index = 0; store.enumKey(vendor, index, &name) == Registry::Success; ++index)
        programs << name;
    store.closeKey(vendor);
    EXPECT_EQ(programs, QStringList {QStringLiteral("Wrenlog")});
    Registry::Key params;
    ASSERT_EQ(store.openKey(Registry::CurrentUser, QStringLiteral("Software\\Kestrane\\Wrenlog\\WindowParams"),
                            Registry::Read, &params),
              Registry::Success);
    QByteArray record;
    EXPECT_EQ(store.queryValue(params, QStringLiteral("WrenlogMainForm"), nullptr, &record), Registry::Success);
    EXPECT_EQ(RegistryStore::stringFromData(record).split(QLatin1Char('\t')).size(), 5);
    store.closeKey(params);
}

TEST_F(BusEndToEnd, ManualStartShowsTheWindowAndASecondStartOpensNothing)
{
    QProcess *first = session.launch(E2eSession::wrenlogProgram(), {});
    // Asking before it owns the name would have the bus start another copy.
    ASSERT_TRUE(E2eSession::waitFor([&] { return session.serverPid() == first->processId(); }, 20000));
    ASSERT_TRUE(E2eSession::waitFor(
        [&] { return session.window(globalWindow).value(QStringLiteral("Visible")).toBool(); }, 20000));
    EXPECT_EQ(session.serverPid(), first->processId());

    QByteArray out, err;
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {}, &out, &err, {}, 20000), 0) << err.constData();
    EXPECT_EQ(debugWindowCount(), 1);
    EXPECT_EQ(session.serverPid(), first->processId());
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(BusEndToEnd, WithoutASessionBusTheWindowStillOpens)
{
    QProcessEnvironment environment = session.environment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
    QProcess server;
    server.setProcessEnvironment(environment);
    server.start(E2eSession::wrenlogProgram(), {});
    ASSERT_TRUE(server.waitForStarted());
    QByteArray err;
    E2eSession::waitFor([&] {
        server.waitForReadyRead(50);
        err += server.readAllStandardError();
        return err.contains("clients cannot reach");
    });
    EXPECT_TRUE(err.contains("clients cannot reach")) << err.constData();
    // Still running, and its window is on the display.
    EXPECT_TRUE(E2eSession::waitFor([&] {
        QByteArray tree;
        session.run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, &tree);
        return tree.contains("\"Wrenlog !\"");
    }));
    EXPECT_EQ(server.state(), QProcess::Running);
    server.terminate();
    server.waitForFinished(5000);
}

TEST_F(BusEndToEnd, CommandLineOptions)
{
    QByteArray out, err;
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--version")}, &out), 0);
    EXPECT_TRUE(out.startsWith("wrenlog ")) << out.constData();
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--help")}, &out), 0);
    EXPECT_TRUE(out.contains("--register")) << out.constData();
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--bogus")}, &out, &err), 2);

    const QString serviceFile = session.environment().value(QStringLiteral("XDG_DATA_HOME"))
        + QStringLiteral("/dbus-1/services/org.wrenlog.Wrenlog.service");
    QFile file(serviceFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    file.close();
    EXPECT_TRUE(text.contains("Name=org.wrenlog.Wrenlog\n")) << text.constData();
    EXPECT_TRUE(text.contains("--automation\n")) << text.constData();
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--unregister")}), 0);
    EXPECT_FALSE(QFile::exists(serviceFile));
    EXPECT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--unregister")}), 0);

    EXPECT_EQ(session.run(E2eSession::sendProgram(),
                          {QStringLiteral("--style"), QStringLiteral("loud"), QStringLiteral("x")}, &out, &err),
              2);
    EXPECT_EQ(session.run(E2eSession::sendProgram(),
                          {QStringLiteral("--colour"), QStringLiteral("0x1000000"), QStringLiteral("x")}, &out, &err),
              2);
}

TEST_F(BusEndToEnd, SendPrintsArgumentsAndStreamsInput)
{
    QByteArray out, err;
    ASSERT_EQ(session.run(E2eSession::sendProgram(),
                          {QStringLiteral("--style"), QStringLiteral("title"), QStringLiteral("Build"),
                           QStringLiteral("started")},
                          &out, &err),
              0)
        << err.constData();
    ASSERT_EQ(session.run(E2eSession::sendProgram(),
                          {QStringLiteral("-n"), QStringLiteral("--colour"), QStringLiteral("0x00FF00"),
                           QStringLiteral("piece ")},
                          &out, &err),
              0)
        << err.constData();
    ASSERT_EQ(session.run(E2eSession::sendProgram(), {QStringLiteral("--show")}, &out, &err,
                          "one\r\ntwo\n\nlast without break"),
              0)
        << err.constData();
    ASSERT_EQ(session.run(E2eSession::sendProgram(), {QStringLiteral("--no-newline")}, &out, &err, "tail"), 0)
        << err.constData();
    EXPECT_EQ(sharedText(), QStringLiteral("Build started\r\npiece one\r\ntwo\r\n\r\nlast without break\r\ntail"));
    EXPECT_TRUE(session.window(globalWindow).value(QStringLiteral("Visible")).toBool());
}

TEST_F(BusEndToEnd, SendFailsClearlyWhenTheServerCannotBeReached)
{
    QByteArray out, err;
    ASSERT_EQ(session.run(E2eSession::wrenlogProgram(), {QStringLiteral("--unregister")}), 0);
    // The bus has read the service folder already: a fresh bus without the file.
    QProcessEnvironment environment = session.environment();
    QProcess send;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
    send.setProcessEnvironment(environment);
    send.start(E2eSession::sendProgram(), {QStringLiteral("hello")});
    ASSERT_TRUE(send.waitForFinished(20000));
    EXPECT_EQ(send.exitCode(), 1);
    EXPECT_TRUE(send.readAllStandardError().contains("Cannot reach the debug window"));
}

TEST_F(BusEndToEnd, KilledStreamingClientLeavesNoPrivateWindow)
{
    QProcess *send = session.launch(E2eSession::sendProgram(), {QStringLiteral("--private"), QStringLiteral("Stream")});
    send->write("first line\nsecond line\n");
    ASSERT_TRUE(E2eSession::waitFor([&] { return privateWindowCount() == 1; }, 20000));
    ASSERT_TRUE(E2eSession::waitFor([&] {
        return session.window(QStringLiteral("/PrivateWindow/1")).value(QStringLiteral("Text")).toString()
            == QStringLiteral("first line\r\nsecond line\r\n");
    }));
    EXPECT_EQ(session.window(QStringLiteral("/PrivateWindow/1")).value(QStringLiteral("Title")).toString(),
              QStringLiteral("Stream"));
    EXPECT_TRUE(session.window(QStringLiteral("/PrivateWindow/1")).value(QStringLiteral("Visible")).toBool());
    ::kill(pid_t(send->processId()), SIGKILL);
    send->waitForFinished(5000);
    EXPECT_TRUE(E2eSession::waitFor([&] { return privateWindowCount() == 0; }));
    EXPECT_TRUE(E2eSession::waitFor([&] { return debugWindowCount() == 0; }));
    // Nothing is loaded and nobody holds a window: the server ends by itself.
    EXPECT_TRUE(E2eSession::waitFor([&] { return session.serverPid() == 0; }, 8000));
}

TEST_F(BusEndToEnd, TenClientsStreamingAtOnceLoseNothingAndKeepTheirOrder)
{
    constexpr int clients = 10;
    constexpr int lines = 10000;
    Wrenlog::GlobalWindow(session.bus()).DebugPrint(QStringLiteral("start"));
    std::vector<QProcess *> senders;
    for (int c = 0; c < clients; ++c) {
        QByteArray input;
        for (int i = 0; i < lines; ++i)
            input += "c" + QByteArray::number(c) + " " + QByteArray::number(i) + "\n";
        QProcess *send = session.launch(E2eSession::sendProgram(), {});
        send->write(input);
        send->closeWriteChannel();
        senders.push_back(send);
    }
    ASSERT_EQ(int(senders.size()), clients);
    for (QProcess *send : senders) {
        ASSERT_TRUE(send->waitForFinished(240000));
        EXPECT_EQ(send->exitCode(), 0) << send->readAllStandardError().constData();
    }
    const QStringList received = sharedText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(received.size(), clients * lines + 1);
    std::vector<int> next(clients, 0);
    int outOfOrder = 0;
    for (const QString &line : received.mid(1)) {
        const int c = line.section(QLatin1Char(' '), 0, 0).mid(1).toInt();
        const int i = line.section(QLatin1Char(' '), 1, 1).toInt();
        ASSERT_TRUE(c >= 0 && c < clients) << qPrintable(line);
        if (i != next[c])
            ++outOfOrder;
        next[c] = i + 1;
    }
    EXPECT_EQ(outOfOrder, 0);
    for (int c = 0; c < clients; ++c)
        EXPECT_EQ(next[c], lines) << "client " << c;
}

TEST_F(BusEndToEnd, TenMegabyteTextPrints)
{
    const QString big = QString(10 * 1024 * 1024, QLatin1Char('w'));
    Wrenlog::GlobalWindow window(session.bus());
    window.DebugPrint(big);
    const QString text = sharedText();
    EXPECT_EQ(text.size(), big.size() + 2);
    EXPECT_TRUE(text.endsWith(QStringLiteral("w\r\n")));
}

TEST_F(BusEndToEnd, ThousandPrivateWindowsLeaveNoWindowAndNoLeak)
{
    auto cycle = [&](int count) {
        for (int i = 0; i < count; ++i) {
            Wrenlog::PrivateWindow window(session.bus());
            window.DebugPrint(QStringLiteral("line %1").arg(i));
        }
    };
    auto resident = [&] { return session.counts().value(QStringLiteral("ResidentKiB")).toLongLong(); };
    Wrenlog::GlobalWindow(session.bus()).DebugPrint(QStringLiteral("keeps the server up"));
    cycle(100);
    ASSERT_TRUE(E2eSession::waitFor([&] { return debugWindowCount() == 1; }));
    const qint64 before = resident();
    ASSERT_GT(before, 0);
    cycle(1000);
    ASSERT_TRUE(E2eSession::waitFor([&] { return debugWindowCount() == 1; }));
    EXPECT_EQ(privateWindowCount(), 0);
    const qint64 after = resident();
#ifndef __SANITIZE_ADDRESS__
    // (AddressSanitizer keeps freed memory in quarantine, so there the
    // resident size tells nothing of leaks.)
    EXPECT_LE(after, before + before / 10) << "before " << before << " KiB, after " << after << " KiB";
#endif
}

TEST_F(BusEndToEnd, ErasingALongTextHandsItsMemoryBack)
{
    auto resident = [&] { return session.counts().value(QStringLiteral("ResidentKiB")).toLongLong(); };
    const QString line = QStringLiteral("a line of sixty characters, as a build log has them ....");
    auto print = [&](int lines) {
        Wrenlog::PieceStream stream(session.bus(), globalWindow);
        for (int i = 0; i < lines; ++i)
            stream.add({line, Wrenlog::wlogNormal, true});
        stream.finish();
    };
    print(1000);
    ASSERT_TRUE(session.eraseAll(globalWindow));
    const qint64 before = resident();
    const int lines = 300000;
    print(lines);
    const qint64 full = resident();
    ASSERT_GT(full, before + 20 * 1024) << "the text did not take the memory expected of it";
    ASSERT_TRUE(session.eraseAll(globalWindow));
    EXPECT_EQ(sharedText(), QString());
    const qint64 after = resident();
#ifndef __SANITIZE_ADDRESS__
    // (Not where AddressSanitizer holds freed memory in quarantine.)
    EXPECT_LE(after, before + before / 10)
        << "before " << before << " KiB, holding the text " << full << " KiB, erased " << after << " KiB";
#endif
}

TEST_F(BusEndToEnd, IndependentPythonClientAgreesWithTheInterfaceTable)
{
    QByteArray out, err;
    const int status
        = session.run(QStringLiteral("/usr/bin/python3"), {QStringLiteral(PYTHON_CLIENT)}, &out, &err, {}, 120000);
    EXPECT_EQ(status, 0) << out.constData() << err.constData();
    EXPECT_TRUE(out.contains("python client: all checks passed")) << out.constData();
}

} // namespace
