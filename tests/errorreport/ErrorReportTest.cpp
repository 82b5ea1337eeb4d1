#include "AutomationError.h"
#include "ErrorLog.h"
#include "ErrorReport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct StackCase
{
    const char *name;
    QString source;
    QString expected;
};

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.split(QLatin1Char('\n'));
}

ErrorReport sampleReport(const QString &sourceName = QStringLiteral("WrenlogMainForm.mnuOnTop_Click"))
{
    const AutomationError error(5, QStringLiteral("Invalid procedure call or argument"),
                                QStringLiteral("Wrenlog\r\nWrenlogMainForm.OnTop (Let)\r\n"
                                               "WrenlogMainForm.ToggleOnTop"));
    return ErrorReport::from(error, sourceName);
}

} // namespace

TEST(ErrorReport, CallStackListsOutermostFirstPrefixedWithTheFirstSource)
{
    const StackCase cases[] = {
        {"trapped in the handler itself", "Wrenlog", "Wrenlog\r\n"},
        {"one procedure", "Wrenlog\r\nWrenlogMainForm.ToggleOnTop", "Wrenlog.WrenlogMainForm.ToggleOnTop\r\n"},
        {"three procedures", "Ledgerix2\r\nKSRegistryKey.OpenKey\r\nKSRegistryKey.GetValue\r\nKSRestoreFormParams",
         "Ledgerix2.KSRestoreFormParams\r\nLedgerix2.KSRegistryKey.GetValue\r\n"
         "Ledgerix2.KSRegistryKey.OpenKey\r\n"},
        {"empty source", "", ""},
    };
    for (const StackCase &c : cases)
        EXPECT_EQ(ErrorReport::formatCallStack(c.source), c.expected) << c.name;
}

TEST(ErrorReport, DescriptionBlockEndsWithWhereTheErrorWasTrapped)
{
    const AutomationError error(91, QStringLiteral("Object variable not set"),
                                QStringLiteral("Wrenlog\r\nWrenlogMainForm.ToggleOnTop"));
    const ErrorReport report = ErrorReport::from(error, QStringLiteral("WrenlogMainForm.mnuOnTop_Click"));
    EXPECT_EQ(report.descriptionText(),
              QStringLiteral("Error Code: 91\r\nDescription: Object variable not set\r\n"
                             "Trapped In: WrenlogMainForm.mnuOnTop_Click"));
    EXPECT_EQ(report.callStack, QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop\r\n"));
}

TEST(ErrorLog, WritesTheReportLineByLine)
{
    const QString folder = TestEnvironment::freshFolder();
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 15, 3));
    ASSERT_TRUE(ErrorLog(folder).append(sampleReport(), when));

    const QStringList lines = fileLines(folder + QStringLiteral("/error.log"));
    // The test runs in the C locale (see TestMain): short date "d MMM yyyy", long time "HH:mm:ss t".
    ASSERT_EQ(QLocale::system().name(), QStringLiteral("C"));
    const QStringList expected = {
        QStringLiteral("[Error Occurred:7 Dec 2026 09:15:03]"),
        QStringLiteral("Trapped In=WrenlogMainForm.mnuOnTop_Click"),
        QStringLiteral("Error Number=5"),
        QStringLiteral("Error Description=Invalid procedure call or argument"),
        QStringLiteral("CalStack ") + QString(52, QLatin1Char('=')),
        QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop"),
        QStringLiteral("Wrenlog.WrenlogMainForm.OnTop (Let)"),
        QString(),
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(lines.mid(0, expected.size()), expected);
}

TEST(ErrorLog, TwoReportsInOneSecondKeepTheirOwnSections)
{
    const QString folder = TestEnvironment::freshFolder();
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 15, 3));
    ASSERT_TRUE(ErrorLog(folder).append(sampleReport(QStringLiteral("First.Handler")), when));
    ASSERT_TRUE(ErrorLog(folder).append(sampleReport(QStringLiteral("Second.Handler")), when));
    ASSERT_TRUE(ErrorLog(folder).append(sampleReport(QStringLiteral("Third.Handler")), when));

    const QStringList lines = fileLines(folder + QStringLiteral("/error.log"));
    const QString section = ErrorLog::sectionName(when);
    EXPECT_EQ(lines.count(QLatin1Char('[') + section + QLatin1Char(']')), 1);
    EXPECT_EQ(lines.count(QLatin1Char('[') + section + QStringLiteral(" (2)]")), 1);
    EXPECT_EQ(lines.count(QLatin1Char('[') + section + QStringLiteral(" (3)]")), 1);
    for (const char *name : {"First.Handler", "Second.Handler", "Third.Handler"})
        EXPECT_EQ(lines.count(QStringLiteral("Trapped In=") + QLatin1String(name)), 1) << name;
    // Each report keeps its whole call stack between the sections.
    EXPECT_EQ(lines.count(QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop")), 3);
}

TEST(ErrorLog, AnUnwritableFolderReportsFailureWithoutThrowing)
{
    const QString folder = TestEnvironment::freshFolder();
    QFile blocker(folder + QStringLiteral("/plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A folder below a regular file cannot be created, not even by root.
    const ErrorLog log(blocker.fileName() + QStringLiteral("/sub"));
    EXPECT_FALSE(log.append(sampleReport()));
    EXPECT_FALSE(QFile::exists(log.path()));
}
