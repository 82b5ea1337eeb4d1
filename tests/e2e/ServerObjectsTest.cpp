// The server's bus objects in process, on the test bus: the introspection
// data against the contract files, error replies, Clear against cancelling
// plug-ins, windows of vanished clients, and the service file.

#include "BatchAdaptor.h"
#include "BusServer.h"
#include "GlobalLibraryAdaptor.h"
#include "GlobalWindow.h"
#include "GlobalWindowAdaptor.h"
#include "NotificationSink.h"
#include "PluginManagerLink.h"
#include "PrivateWindow.h"
#include "PrivateWindowAdaptor.h"
#include "PrivateWindowFactory.h"
#include "PrivateWindowFactoryAdaptor.h"
#include "PrintBackPressure.h"
#include "RichTextView.h"
#include "ServiceRegistration.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"
#include "dbus/WrenlogClassIds.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QFile>
#include <QMetaClassInfo>
#include <QThread>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

/// The interface element reduced to what callers depend on: names, types,
/// directions and annotations, in order.
QStringList contractTokens(const QByteArray &xml)
{
    QStringList tokens;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        tokens << reader.name().toString() + QLatin1Char(':') + a.value(QLatin1String("name")).toString()
                + QLatin1Char(':') + a.value(QLatin1String("type")).toString() + QLatin1Char(':')
                + a.value(QLatin1String("direction")).toString() + QLatin1Char(':')
                + a.value(QLatin1String("value")).toString();
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    tokens.removeAll(QStringLiteral("node::::"));
    return tokens;
}

QByteArray contractFile(const QString &interface)
{
    QFile file(QStringLiteral(DBUS_XML_DIR "/") + interface + QStringLiteral(".xml"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    return file.readAll();
}

QByteArray classInfo(const QMetaObject &meta, const char *name)
{
    const int index = meta.indexOfClassInfo(name);
    return index < 0 ? QByteArray() : QByteArray(meta.classInfo(index).value());
}

TEST(ServerObjects, AdaptorsPublishExactlyTheContractFiles)
{
    const QList<const QMetaObject *> adaptors = {
        &GlobalWindowAdaptor::staticMetaObject,
        &GlobalLibraryAdaptor::staticMetaObject,
        &PrivateWindowFactoryAdaptor::staticMetaObject,
        &PrivateWindowAdaptor::staticMetaObject,
        &BatchAdaptor::staticMetaObject,
    };
    // One adaptor for each contract file, none left over on either side.
    QStringList interfaces;
    for (const QMetaObject *meta : adaptors)
        interfaces << QString::fromLatin1(classInfo(*meta, "D-Bus Interface"));
    QStringList files = QDir(QStringLiteral(DBUS_XML_DIR)).entryList({QStringLiteral("*.xml")}, QDir::Files);
    files.replaceInStrings(QStringLiteral(".xml"), QString());
    interfaces.sort();
    files.sort();
    EXPECT_EQ(interfaces, files);
    for (const QMetaObject *meta : adaptors) {
        const QString interface = QString::fromLatin1(classInfo(*meta, "D-Bus Interface"));
        ASSERT_FALSE(interface.isEmpty()) << meta->className();
        const QStringList published = contractTokens(classInfo(*meta, "D-Bus Introspection"));
        EXPECT_GT(published.size(), 2) << meta->className();
        EXPECT_EQ(published, contractTokens(contractFile(interface))) << qPrintable(interface);
    }
}

TEST(ServerObjects, ClassIdsInTheHeaderMatchTheContractFiles)
{
    struct Row
    {
        const char *interface;
        const char *classId;
        const char *interfaceId;
    };
    const QList<Row> rows = {
        {"org.wrenlog.GlobalWindow", WrenlogClassIds::GlobalWindow, WrenlogClassIds::GlobalWindowInterface},
        {"org.wrenlog.PrivateWindow", WrenlogClassIds::PrivateWindow, WrenlogClassIds::PrivateWindowInterface},
        {"org.wrenlog.GlobalLibrary", WrenlogClassIds::GlobalLibrary, WrenlogClassIds::GlobalLibraryInterface},
    };
    QSet<QUuid> seen;
    for (const Row &row : rows) {
        const QStringList tokens = contractTokens(contractFile(QString::fromLatin1(row.interface)));
        EXPECT_TRUE(tokens.contains(QStringLiteral("annotation:org.wrenlog.ClassId:::") + QLatin1String(row.classId)));
        EXPECT_TRUE(
            tokens.contains(QStringLiteral("annotation:org.wrenlog.InterfaceId:::") + QLatin1String(row.interfaceId)));
        EXPECT_FALSE(WrenlogClassIds::uuid(row.classId).isNull());
        seen << WrenlogClassIds::uuid(row.classId) << WrenlogClassIds::uuid(row.interfaceId);
    }
    EXPECT_EQ(seen.size(), 6);
}

TEST(ServerObjects, ServiceFileQuotesWhatTheBusWouldSplit)
{
    struct Row
    {
        QString program;
        QString exec;
    };
    const QList<Row> rows = {
        {QStringLiteral("/opt/wrenlog/wrenlog"), QStringLiteral("Exec=/opt/wrenlog/wrenlog --automation")},
        {QStringLiteral("/opt/my apps/wrenlog"), QStringLiteral("Exec=\"/opt/my apps/wrenlog\" --automation")},
        {QStringLiteral("/opt/a\"b$c/wrenlog"), QStringLiteral("Exec=\"/opt/a\\\"b\\$c/wrenlog\" --automation")},
    };
    for (const Row &row : rows) {
        const QStringList lines = ServiceRegistration::serviceFileText(row.program).split(QLatin1Char('\n'));
        EXPECT_EQ(lines.value(0), QStringLiteral("[D-BUS Service]"));
        EXPECT_EQ(lines.value(1), QStringLiteral("Name=org.wrenlog.Wrenlog"));
        EXPECT_EQ(lines.value(2), row.exec);
    }
}

/// Listens as a plug-in would and cancels everything that can be cancelled.
class CancellingPlugins : public PluginManagerLink, public NotificationSink
{
public:
    void LoadPlugins(const QStringList &) override {}
    qint32 PluginCount() const override { return 1; }
    NotificationSink *facade() override { return this; }
    void KillAll() override {}
    void ShowManagerDialog() override {}
    void UnloadManagerDialog() override {}
    void Notify(qint32 code, const QVariant &, bool &cancel) override
    {
        codes.append(code);
        cancel = true;
    }
    QList<qint32> codes;
};

TEST(ServerObjects, ClearEmptiesThePrivateWindowWhateverListenersSay)
{
    GlobalWindow shared;
    auto *sharedPlugins = new CancellingPlugins;
    shared.form()->setPluginManager(std::unique_ptr<PluginManagerLink>(sharedPlugins));
    shared.form()->rtbDetails()->setText(QStringLiteral("kept"));
    shared.form()->EraseAll();
    EXPECT_EQ(shared.form()->rtbDetails()->Text(), QStringLiteral("kept"));

    PrivateWindow window;
    window.DebugPrint(QStringLiteral("one"));
    window.DebugPrint(QStringLiteral("two"), wlogFail, false);
    EXPECT_EQ(window.form()->rtbDetails()->Text(), QStringLiteral("one\r\ntwo"));
    auto *privatePlugins = new CancellingPlugins;
    window.form()->setPluginManager(std::unique_ptr<PluginManagerLink>(privatePlugins));
    window.Clear();
    EXPECT_EQ(window.form()->rtbDetails()->Text(), QString());
    EXPECT_FALSE(privatePlugins->codes.contains(10)) << "BeforeEraseAll";
    EXPECT_FALSE(privatePlugins->codes.contains(11)) << "AfterEraseAll";
    window.form()->setPluginManager(nullptr);
    window.Release();
    EXPECT_TRUE(window.isReleased());

    shared.form()->setPluginManager(nullptr);
    shared.form()->setRemoteUnload(false);
    shared.form()->Unload();
}

class OnTheBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        server = std::make_unique<BusServer>(QDBusConnection::sessionBus());
        QString errorText;
        ASSERT_TRUE(server->exportObjects(&errorText)) << qPrintable(errorText);
        client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("objects-test-client"));
        ASSERT_TRUE(client.isConnected());
    }
    void TearDown() override
    {
        server.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("objects-test-client"));
    }

    /// A call through the daemon to the objects above, answered while waiting.
    QDBusMessage call(QDBusConnection &from, const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(), path, interface, method);
        message.setArguments(arguments);
        return from.call(message, QDBus::BlockWithGui, 20000);
    }

    /// Creates a private window through the bus; its object path (empty when the call failed).
    QString createPrivateWindow()
    {
        const QDBusMessage created = call(client, QStringLiteral("/PrivateWindows"),
                                          QStringLiteral("org.wrenlog.PrivateWindowFactory"), QStringLiteral("Create"));
        EXPECT_EQ(created.type(), QDBusMessage::ReplyMessage) << qPrintable(created.errorMessage());
        return qdbus_cast<QDBusObjectPath>(created.arguments().value(0)).path();
    }

    std::unique_ptr<BusServer> server;
    QDBusConnection client {QString()};
};

TEST_F(OnTheBus, FailuresComeBackAsWrenlogErrorWithNumberAndSource)
{
    const QString path = createPrivateWindow();
    PrivateWindow *window = server->factory()->window(path);
    ASSERT_NE(window, nullptr);
    // A window lost behind the object's back: every member must now fail cleanly.
    window->form()->setRemoteUnload(false);
    delete window->form();

    struct Row
    {
        const char *interface;
        const char *method;
        QVariantList arguments;
        const char *lastSourceLine;
    };
    const QList<Row> rows = {
        {"org.wrenlog.PrivateWindow", "DebugPrint", {QStringLiteral("x"), -2, true}, "DebugText"},
        {"org.wrenlog.PrivateWindow", "DebugShow", {QStringLiteral("t")}, "PrivateWindow.DebugShow"},
        {"org.wrenlog.PrivateWindow", "Clear", {}, "PrivateWindow.Clear"},
        {"org.wrenlog.Batch",
         "DebugPrintMany",
         {QVariant::fromValue(QList<DebugPiece> {{QStringLiteral("x"), -2, true}})},
         "DebugText"},
    };
    for (const Row &row : rows) {
        const QDBusMessage reply
            = call(client, path, QString::fromLatin1(row.interface), QString::fromLatin1(row.method), row.arguments);
        ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage) << row.method;
        EXPECT_EQ(reply.errorName(), QStringLiteral("org.wrenlog.Error"));
        ASSERT_EQ(reply.arguments().size(), 3) << row.method;
        EXPECT_EQ(reply.arguments().at(0).toString(), reply.errorMessage());
        EXPECT_EQ(reply.arguments().at(1).toInt(), 91) << row.method;
        const QStringList source = reply.arguments().at(2).toString().split(QStringLiteral("\r\n"));
        EXPECT_EQ(source.last(), QLatin1String(row.lastSourceLine)) << row.method;
    }
}

TEST_F(OnTheBus, WindowsOfAClientThatLeavesTheBusAreReleased)
{
    {
        QDBusConnection leaving
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("leaving-client"));
        ASSERT_TRUE(leaving.isConnected());
        for (int i = 0; i < 3; ++i) {
            const QDBusMessage created
                = call(leaving, QStringLiteral("/PrivateWindows"), QStringLiteral("org.wrenlog.PrivateWindowFactory"),
                       QStringLiteral("Create"));
            ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << qPrintable(created.errorMessage());
        }
    }
    const QDBusMessage kept = call(client, QStringLiteral("/PrivateWindows"),
                                   QStringLiteral("org.wrenlog.PrivateWindowFactory"), QStringLiteral("Create"));
    ASSERT_EQ(kept.type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(server->factory()->windowCount(), 4);

    QDBusConnection::disconnectFromBus(QStringLiteral("leaving-client"));
    // The bus tells of the departure asynchronously: wait for it in real time,
    // not in event-loop turns, which pass at once while nothing has arrived.
    EXPECT_TRUE(QTest::qWaitFor([&] { return server->factory()->windowCount() == 1; }, 5000))
        << server->factory()->windowCount() << " windows left";
    const QString keptPath = qdbus_cast<QDBusObjectPath>(kept.arguments().value(0)).path();
    EXPECT_NE(server->factory()->window(keptPath), nullptr);
}

TEST_F(OnTheBus, PrintCallsPastTheBacklogAreAnsweredOnceTheWindowHasTakenTheText)
{
    const QString path = createPrivateWindow();
    PrivateWindow *window = server->factory()->window(path);
    ASSERT_NE(window, nullptr);
    PrintBackPressure &backPressure = PrintBackPressure::instance();
    const qint64 limitBefore = backPressure.limit();
    backPressure.setLimit(1000);

    constexpr int batches = 10;
    constexpr int piecesPerBatch = 100;
    QString expected;
    QList<QDBusPendingCall> calls;
    for (int b = 0; b < batches; ++b) {
        QList<DebugPiece> pieces;
        for (int p = 0; p < piecesPerBatch; ++p) {
            const QString line = QStringLiteral("batch %1 piece %2").arg(b).arg(p);
            pieces.append({line, b % 2 ? 0x0000FF : -2, true});
            expected += line + QStringLiteral("\r\n");
        }
        QDBusMessage message = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(), path,
                                                              QStringLiteral("org.wrenlog.Batch"),
                                                              QStringLiteral("DebugPrintMany"));
        message.setArguments({QVariant::fromValue(pieces)});
        calls.append(client.asyncCall(message, 20000));
    }
    // Only the calls run, no timer: the window takes every piece and puts
    // none into its text, so more than the backlog waits and no call may be
    // answered yet.
    const qint64 waitingBefore = RichTextView::waitingCharacters();
    QDeadlineTimer deadline(10000);
    while (backPressure.heldReplies() < batches && !deadline.hasExpired()) {
        QCoreApplication::sendPostedEvents();
        QThread::msleep(1);
    }
    EXPECT_EQ(backPressure.heldReplies(), batches);
    EXPECT_EQ(RichTextView::waitingCharacters() - waitingBefore, expected.size());
    QThread::msleep(50); // time for a reply to arrive, had one been sent
    EXPECT_TRUE(std::none_of(calls.cbegin(), calls.cend(), [](const QDBusPendingCall &c) { return c.isFinished(); }));

    // Once the window has taken the text in, every call is answered, in order and whole.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::all_of(calls.cbegin(), calls.cend(), [](const QDBusPendingCall &c) { return c.isFinished(); }); },
        20000));
    for (const QDBusPendingCall &c : calls)
        EXPECT_FALSE(c.isError()) << qPrintable(c.error().message());
    EXPECT_EQ(backPressure.heldReplies(), 0);
    EXPECT_EQ(window->form()->rtbDetails()->Text(), expected);
    backPressure.setLimit(limitBefore);
}

} // namespace
