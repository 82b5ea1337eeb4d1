#include "ChorescanFixture.h"

#include "FolderBrowser.h"
#include "PluginWindow.h"
#include "PluginWindowFont.h"
#include "TestEnvironment.h"
#include "WrenlogEnums.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace {

constexpr qint32 found = 0x0000FF;
constexpr qint32 lineNo = 0xFF8080;
constexpr qint32 in = 0x0080FF;
constexpr qint32 reads = 0x00C000;
constexpr qint32 block = 0x008000;
constexpr qint32 clean = 0x00FF00;
constexpr qint32 total = 0xFF0000;

const QStringList alpha {
    QStringLiteral("Attribute VB_Name = \"Alpha\""),
    QStringLiteral("'ToDo: module-level note above everything"),
    QStringLiteral("Option Explicit"),
    QString(),
    QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long"),
    QStringLiteral("'TODO check the tick wrap"),
    QString(),
    QStringLiteral("Public Sub Main()"),
    QStringLiteral("    Dim x As Long"),
    QStringLiteral("    x = 1 'todo: name this better"),
    QStringLiteral("    ' second comment line"),
    QStringLiteral("      ' third, indented by spaces"),
    QStringLiteral("    x = 2"),
    QStringLiteral("End Sub"),
};

// Ends without a line break, in a comment that follows a marker.
const QStringList beta {
    QStringLiteral("VERSION 5.00"),
    QStringLiteral("Begin VB.Form Form1"),
    QStringLiteral("End"),
    QStringLiteral("Private Sub Form_Load()"),
    QStringLiteral("    'To Do: load the settings"),
    QStringLiteral("    'todo a marker right below ends the block"),
    QStringLiteral("    ' continuation of the second"),
    QStringLiteral("\t' a tab-indented comment does not continue"),
    QStringLiteral("End Sub"),
    QStringLiteral("friend function Helper() As Long"),
    QStringLiteral("    ' plain comment"),
    QStringLiteral("    'TO DO the last lines of the file"),
    QStringLiteral("    ' are a comment to its end"),
};

// No marker: an apostrophe, a blank and ToDo is an ordinary comment.
const QStringList gamma {
    QStringLiteral("Public Property Get Value() As Long"),
    QStringLiteral("    ' ToDo is not a marker with a blank after the apostrophe"),
    QStringLiteral("End Property"),
};

// The marker's own line is the first one searched for the procedure.
const QStringList kappa {
    QStringLiteral("Public Function Total() As Long 'ToDo: guard the overflow"),
    QStringLiteral("    Total = 1"),
    QStringLiteral("End Function"),
};

const QStringList ignored {QStringLiteral("'ToDo never reported")};

QString corpus()
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("corpus"));
    writeLines(dir + QStringLiteral("/Alpha.bas"), alpha, QStringLiteral("\r\n"), true);
    writeLines(dir + QStringLiteral("/beta.Frm"), beta);
    writeLines(dir + QStringLiteral("/gamma.v2.final.CLS"), gamma, QStringLiteral("\r\n"), true);
    writeLines(dir + QStringLiteral("/Kappa.cls"), kappa);
    writeLines(dir + QStringLiteral("/delta.frx"), ignored);
    writeLines(dir + QStringLiteral("/README"), ignored);
    writeLines(dir + QStringLiteral("/epsilon.bas.txt"), ignored);
    // A folder named like a source file is no file of the folder.
    writeLines(dir + QStringLiteral("/sub.bas/inner.bas"), ignored);
    return dir;
}

QList<Print> head(const QString &dir)
{
    return {{QStringLiteral("Kestrane - Chorescan"), wlogNormal, true},
            {QStringLiteral("\r\nDirectory of '") + dir + QStringLiteral("':"), wlogTitle, true}};
}

QList<Print> tail(qint32 count)
{
    const QString line = QStringLiteral("Total Number of ToDo's found: ") + QString::number(count);
    return {{QString(), wlogNormal, true}, {line, total, true}, {QString(line.size(), u'-'), wlogNormal, true}};
}

QList<Print> heading(const QString &name, const QString &what, qint32 colour)
{
    return {{QStringLiteral("Looking at File: ") + name, wlogNormal, false}, {what, colour, true}};
}

QList<Print> hit(int line, const QString &header, const QStringList &blockLines)
{
    QList<Print> pieces {{QStringLiteral("  At Line No.: ") + QString::number(line), lineNo, true}};
    if (!header.isNull())
        pieces.append({QStringLiteral("  In: ") + header, in, true});
    pieces.append({QStringLiteral("    ToDo Reads..."), reads, true});
    QString text;
    for (const QString &each : blockLines)
        text += QStringLiteral("    ") + each + QStringLiteral("\r\n");
    pieces.append({text, block, true});
    return pieces;
}

QList<Print> corpusReport(const QString &dir, bool full)
{
    QList<Print> report = head(dir);
    report += heading(QStringLiteral("Alpha.bas"), QStringLiteral(" (Found)"), found);
    report += hit(2, QString(), {alpha[1]});
    report += hit(6, alpha[4], {alpha[5]});
    report += hit(10, alpha[7], {alpha[9], alpha[10], alpha[11]});
    // Both spellings: a heading before the hits of each.
    report += heading(QStringLiteral("beta.Frm"), QStringLiteral(" (Found)"), found);
    report += hit(5, beta[3], {beta[4]});
    report += hit(12, beta[9], {beta[11], beta[12]});
    report += heading(QStringLiteral("beta.Frm"), QStringLiteral(" (Found)"), found);
    report += hit(6, beta[3], {beta[5], beta[6]});
    if (full)
        report += heading(QStringLiteral("gamma.v2.final.CLS"), QStringLiteral(" (Clean)"), clean);
    report += heading(QStringLiteral("Kappa.cls"), QStringLiteral(" (Found)"), found);
    report += hit(1, kappa[0], {kappa[0]});
    report += tail(7);
    return report;
}

} // namespace

TEST_F(ChorescanTest, ReportsEveryMarkerWithLineProcedureAndBlock)
{
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full results" : "markers only");
        const QString dir = corpus();
        writeSettings(dir, full ? QStringLiteral("1") : QStringLiteral("0"));
        start();
        clickCommand();
        const QList<Print> expected = corpusReport(dir, full);
        ASSERT_EQ(prints.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_EQ(prints.at(i), expected.at(i)) << "piece " << i;

        // The pieces reached the view in that order.
        QString text;
        for (const Print &print : expected)
            text += print.text + (print.lineBreak ? QStringLiteral("\r\n") : QString());
        EXPECT_TRUE(window()->Text().endsWith(text));
        form.reset();
        prints.clear();
    }
}

TEST_F(ChorescanTest, RestylesTheWindowAndNamesTheFolderInTheTopText)
{
    const QString dir = corpus();
    writeSettings(dir, QStringLiteral("0"));
    start();
    window()->setBackColour(0x123456);
    window()->setWrap(true);
    window()->setTopTextBackColour(0x000080);
    window()->setTopTextForeColour(0xFFFFFF);
    std::unique_ptr<PluginWindowFont> font(window()->Font());
    font->setName(QStringLiteral("Serif"));
    font->setSize(14);
    font->setBold(true);
    font->setItalic(true);
    clickCommand();

    EXPECT_EQ(window()->BackColour(), 0xFFFFFF);
    EXPECT_FALSE(window()->Wrap());
    EXPECT_EQ(window()->TopTextBackColour(), 0xC0FFC0);
    EXPECT_EQ(window()->TopTextForeColour(), 0);
    EXPECT_EQ(window()->TopText(), QStringLiteral("Scanning Dir: ") + dir);
    EXPECT_EQ(font->Size(), 9);
    EXPECT_FALSE(font->Bold());
    EXPECT_FALSE(font->Italic());
    EXPECT_EQ(font->Name(), QStringLiteral("Courier New"));
}

TEST_F(ChorescanTest, AFolderThatCannotBeListedGivesAnEmptyReport)
{
    const QString parentIsFile = TestEnvironment::freshFolder(QStringLiteral("file")) + QStringLiteral("/plain");
    writeLines(parentIsFile, {QStringLiteral("x")});
    struct Row
    {
        const char *name;
        QString workingPath;
        QString chosen;
    };
    const QList<Row> rows {
        {"missing folder", TestEnvironment::root() + QStringLiteral("/no/such/folder"), QString()},
        {"parent is a file", parentIsFile + QStringLiteral("/sub"), QString()},
        {"a file, not a folder", parentIsFile, QString()},
        {"choice cancelled", QString(), QString()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(row.workingPath, QStringLiteral("1"));
        QStringList titles;
        FolderBrowser::setPresenter([&](const FolderBrowser::Request &request) {
            titles.append(request.title);
            return row.chosen;
        });
        start();
        clickCommand();
        QList<Print> expected = head(row.workingPath) + tail(0);
        EXPECT_EQ(prints, expected);
        EXPECT_EQ(expected.constLast().text.size(), 31);
        EXPECT_EQ(titles.size(), row.workingPath.isEmpty() ? 1 : 0);
        form.reset();
        prints.clear();
    }
}

TEST_F(ChorescanTest, AnEmptyWorkingPathAsksAtEveryScanAndStoresNothing)
{
    const QString dir = corpus();
    writeSettings(QString(), QStringLiteral("0"));
    const QStringList before = settingsLines();
    QList<FolderBrowser::Request> asked;
    FolderBrowser::setPresenter([&](const FolderBrowser::Request &request) {
        asked.append(request);
        return dir;
    });
    start();
    clickCommand();
    clickCommand();

    ASSERT_EQ(asked.size(), 2);
    for (const FolderBrowser::Request &request : std::as_const(asked)) {
        EXPECT_EQ(request.title, QStringLiteral("Please specify a folder"));
        EXPECT_EQ(request.owner, window()->hWnd().toULongLong());
    }
    const QList<Print> once = corpusReport(dir, false);
    EXPECT_EQ(prints, once + once);
    EXPECT_EQ(settingsLines(), before);
}

TEST_F(ChorescanTest, OnlyTheNumberOneTurnsOnFullResults)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("clean"));
    writeLines(dir + QStringLiteral("/Clean.bas"), {QStringLiteral("Option Explicit")});
    struct Row
    {
        QString stored;
        bool full;
    };
    const QList<Row> rows {
        {QStringLiteral("1"), true},     {QStringLiteral("1.0"), true},  {QStringLiteral(" 1 "), true},
        {QStringLiteral("0"), false},    {QStringLiteral("2"), false},   {QStringLiteral("-1"), false},
        {QStringLiteral("True"), false}, {QStringLiteral("one"), false}, {QString(), false},
        {QStringLiteral("1\t1"), false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.stored.toStdString());
        writeSettings(dir, row.stored);
        start();
        clickCommand();
        QList<Print> expected = head(dir);
        if (row.full)
            expected += heading(QStringLiteral("Clean.bas"), QStringLiteral(" (Clean)"), clean);
        expected += tail(0);
        EXPECT_EQ(prints, expected);
        form.reset();
        prints.clear();
    }
}

TEST_F(ChorescanTest, FilesWithLinuxLineEndsReportTheSameLines)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("lf"));
    writeLines(dir + QStringLiteral("/Alpha.bas"), alpha, QStringLiteral("\n"), true);
    writeSettings(dir, QStringLiteral("0"));
    start();
    clickCommand();
    QList<Print> expected = head(dir);
    expected += heading(QStringLiteral("Alpha.bas"), QStringLiteral(" (Found)"), found);
    expected += hit(2, QString(), {alpha[1]});
    expected += hit(6, alpha[4], {alpha[5]});
    expected += hit(10, alpha[7], {alpha[9], alpha[10], alpha[11]});
    expected += tail(3);
    EXPECT_EQ(prints, expected);
}

TEST_F(ChorescanTest, TheTotalRuleIsAsLongAsTheTotalLine)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("twelve"));
    QStringList lines;
    for (int i = 0; i < 12; ++i)
        lines << QStringLiteral("x = %1 'ToDo %1").arg(i);
    writeLines(dir + QStringLiteral("/Many.cls"), lines);
    writeSettings(dir, QStringLiteral("0"));
    start();
    clickCommand();
    ASSERT_GE(prints.size(), 2);
    EXPECT_EQ(prints.at(prints.size() - 2).text, QStringLiteral("Total Number of ToDo's found: 12"));
    EXPECT_EQ(prints.constLast().text, QString(32, u'-'));
}

TEST_F(ChorescanTest, WithoutAPropertyStoreTheScanAsksForTheFolderAndReports)
{
    const QString dir = corpus();
    writeSettings(QStringLiteral("/settings/not/read"), QStringLiteral("1"));
    QList<FolderBrowser::Request> asked;
    FolderBrowser::setPresenter([&](const FolderBrowser::Request &request) {
        asked.append(request);
        return dir;
    });
    start();
    // What the host hands over when it cannot make the plug-in's store.
    plugin()->Initialize(QStringLiteral("KSChorescan.Chorescan"), window(), nullptr);
    clickCommand();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.constFirst().title, QStringLiteral("Please specify a folder"));
    EXPECT_EQ(prints, corpusReport(dir, false));
}
