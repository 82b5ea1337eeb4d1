// How the client library turns bus replies back into the system's error value,
// and how its objects behave once released.

#include "AutomationError.h"
#include "wrenlog/BusCall.h"
#include "wrenlog/PieceStream.h"
#include "wrenlog/PrivateWindow.h"

#include <QDBusMessage>

#include <gtest/gtest.h>

namespace {

TEST(ClientErrors, RepliesBecomeTheErrorValue)
{
    struct Row
    {
        QString name;
        QVariantList arguments;
        qint32 number;
        QString description;
        QString source;
    };
    const QString trace = QStringLiteral("wrenlog\r\nPrivateWindow.Clear");
    const QList<Row> rows = {
        {QStringLiteral("org.wrenlog.Error"),
         {QStringLiteral("Object variable not set"), 91, trace},
         91,
         QStringLiteral("Object variable not set"),
         trace},
        {QStringLiteral("org.wrenlog.Error"),
         {QString(), 5, QStringLiteral("wrenlog")},
         5,
         QString(),
         QStringLiteral("wrenlog")},
        {QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
         {QStringLiteral("not provided")},
         429,
         QStringLiteral("Cannot reach the debug window: not provided"),
         QStringLiteral("WrenlogClient")},
        {QStringLiteral("org.freedesktop.DBus.Error.Spawn.ChildExited"),
         {QStringLiteral("exit 1")},
         429,
         QStringLiteral("Cannot reach the debug window: exit 1"),
         QStringLiteral("WrenlogClient")},
        {QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
         {QStringLiteral("no such method")},
         440,
         QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod: no such method"),
         QStringLiteral("WrenlogClient")},
    };
    ASSERT_EQ(rows.size(), 5);
    for (const Row &row : rows) {
        QDBusMessage reply = QDBusMessage::createError(row.name, QString());
        reply.setArguments(row.arguments);
        // What the bus hands over: the error text is the first string argument.
        if (!row.arguments.isEmpty() && row.name != QLatin1String("org.wrenlog.Error"))
            reply = QDBusMessage::createError(row.name, row.arguments.first().toString());
        const AutomationError error = Wrenlog::BusCall::errorFromReply(reply);
        EXPECT_EQ(error.number(), row.number) << qPrintable(row.name);
        EXPECT_EQ(error.description(), row.description) << qPrintable(row.name);
        EXPECT_EQ(error.source(), row.source) << qPrintable(row.name);
    }
}

TEST(ClientErrors, NoBusMeansCannotCreateObject)
{
    const QDBusConnection nowhere = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                                  QStringLiteral("client-test-nowhere"));
    ASSERT_FALSE(nowhere.isConnected());
    try {
        Wrenlog::PrivateWindow window(nowhere);
        FAIL() << "a window without a bus";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 429);
        EXPECT_TRUE(error.description().startsWith(QLatin1String("Cannot reach the debug window")))
            << qPrintable(error.description());
    }
    Wrenlog::PieceStream stream(nowhere, QStringLiteral("/GlobalWindow"));
    stream.add({QStringLiteral("queued"), -2, true});
    EXPECT_THROW(stream.finish(), AutomationError);
    EXPECT_EQ(stream.piecesSent(), 0);
    QDBusConnection::disconnectFromBus(QStringLiteral("client-test-nowhere"));
}

} // namespace
