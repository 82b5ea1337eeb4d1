#include "LookoutFixture.h"

#include "PluginWindow.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

struct Bar
{
    QWidget *bar = nullptr;
    QLineEdit *text = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *expression = nullptr;
    QLabel *count = nullptr;
};

Bar barParts(QWidget *bar)
{
    Bar parts;
    parts.bar = bar;
    if (!bar)
        return parts;
    parts.text = bar->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    parts.matchCase = bar->findChild<QCheckBox *>(QStringLiteral("chkMatchCase"));
    parts.expression = bar->findChild<QCheckBox *>(QStringLiteral("chkRegularExpression"));
    parts.count = bar->findChild<QLabel *>(QStringLiteral("lblCount"));
    return parts;
}

} // namespace

TEST_F(LookoutTest, CtrlFOpensTheBarUnderTheWindowAndEnterWalksTheMatchesBothWaysWithWrapAround)
{
    start();
    // Positions count a line break as two: "alpha" 0, "Beta" 7, "alphabet" 13, "gamma alpha" 23 (alpha at 29).
    for (const char *line : {"alpha", "Beta", "alphabet", "gamma alpha"})
        print(QString::fromLatin1(line));
    EXPECT_EQ(findBar(), nullptr);

    key(Qt::Key_F, Qt::ControlModifier);
    const Bar bar = barParts(findBar());
    ASSERT_NE(bar.bar, nullptr);
    ASSERT_TRUE(bar.text && bar.matchCase && bar.expression && bar.count);
    EXPECT_TRUE(bar.bar->isVisible());
    EXPECT_EQ(bar.matchCase->text(), QStringLiteral("Match case"));
    EXPECT_EQ(bar.expression->text(), QStringLiteral("Regular expression"));
    // Docked under the window's frame, as wide as it; and it follows a move.
    EXPECT_EQ(bar.bar->geometry().top(), form->frameGeometry().bottom() + 1);
    EXPECT_EQ(bar.bar->geometry().left(), form->frameGeometry().left());
    EXPECT_GE(bar.bar->width(), form->frameGeometry().width());
    form->move(form->x() + 40, form->y() + 30);
    settle();
    EXPECT_EQ(bar.bar->geometry().top(), form->frameGeometry().bottom() + 1);
    EXPECT_EQ(bar.bar->geometry().left(), form->frameGeometry().left());

    window->setSelStart(0);
    bar.text->setText(QStringLiteral("alpha"));
    EXPECT_EQ(bar.count->text(), QStringLiteral("0 of 3"));
    const auto enter = [&](Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(bar.text, Qt::Key_Return, modifiers);
        return std::make_pair(window->SelStart(), window->SelLength());
    };
    EXPECT_EQ(enter(), std::make_pair(0, 5));
    EXPECT_EQ(bar.count->text(), QStringLiteral("1 of 3"));
    EXPECT_EQ(enter(), std::make_pair(13, 5));
    EXPECT_EQ(enter(), std::make_pair(29, 5));
    EXPECT_EQ(bar.count->text(), QStringLiteral("3 of 3"));
    EXPECT_EQ(enter(), std::make_pair(0, 5)) << "wraps to the first";
    EXPECT_EQ(enter(Qt::ShiftModifier), std::make_pair(29, 5)) << "Shift+Enter wraps back to the last";
    EXPECT_EQ(enter(Qt::ShiftModifier), std::make_pair(13, 5));
    EXPECT_EQ(bar.count->text(), QStringLiteral("2 of 3"));
    EXPECT_EQ(window->SelText(), QStringLiteral("alpha"));

    // From the caret: with the caret inside "Beta", the next match is "alphabet".
    window->setSelStart(8);
    window->setSelLength(0);
    EXPECT_EQ(enter(), std::make_pair(13, 5));

    // Text printed after the bar read the window is found too.
    print(QStringLiteral("late alpha"));
    window->setSelStart(30);
    EXPECT_EQ(enter(), std::make_pair(41, 5));
    EXPECT_EQ(bar.count->text(), QStringLiteral("4 of 4"));

    QTest::keyClick(bar.text, Qt::Key_Escape);
    EXPECT_FALSE(bar.bar->isVisible());
}

TEST_F(LookoutTest, FindHonoursCaseAndRegularExpressionsAndShowsABadExpressionInTheBar)
{
    start();
    for (const char *line : {"Error 1", "error 22", "ERROR 333", "no fault"})
        print(QString::fromLatin1(line));
    click(QStringLiteral("Find..."));
    const Bar bar = barParts(findBar());
    ASSERT_NE(bar.bar, nullptr);
    ASSERT_TRUE(bar.bar->isVisible());

    window->setSelStart(0);
    bar.text->setText(QStringLiteral("error"));
    EXPECT_EQ(bar.count->text(), QStringLiteral("0 of 3"));
    bar.matchCase->setChecked(true);
    EXPECT_EQ(bar.count->text(), QStringLiteral("0 of 1"));
    QTest::keyClick(bar.text, Qt::Key_Return);
    EXPECT_EQ(window->SelText(), QStringLiteral("error"));
    EXPECT_EQ(window->SelStart(), 9);

    bar.matchCase->setChecked(false);
    bar.expression->setChecked(true);
    bar.text->setText(QStringLiteral("error \\d{2,}"));
    EXPECT_EQ(bar.count->text(), QStringLiteral("0 of 2"));
    window->setSelStart(0);
    QTest::keyClick(bar.text, Qt::Key_Return);
    EXPECT_EQ(window->SelText(), QStringLiteral("error 22"));
    QTest::keyClick(bar.text, Qt::Key_Return);
    EXPECT_EQ(window->SelText(), QStringLiteral("ERROR 333"));
    EXPECT_EQ(bar.count->text(), QStringLiteral("2 of 2"));

    // An invalid expression is shown in the bar; Enter then changes nothing and nothing escapes.
    bar.text->setText(QStringLiteral("error ("));
    EXPECT_TRUE(bar.count->text().startsWith(QStringLiteral("Invalid regular expression: "))) << bar.count->text().toStdString();
    const qint32 before = window->SelStart();
    QTest::keyClick(bar.text, Qt::Key_Return);
    EXPECT_EQ(window->SelStart(), before);
    bar.text->setText(QStringLiteral("fault"));
    EXPECT_EQ(bar.count->text(), QStringLiteral("0 of 1"));
}

TEST_F(LookoutTest, TheBarFoldsWithTheWindowAndComesBack)
{
    start();
    click(QStringLiteral("Find..."));
    QWidget *bar = findBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    window->setFold(true);
    EXPECT_FALSE(bar->isVisible());
    window->setFold(false);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry().top(), form->frameGeometry().bottom() + 1);
    window->setOnTop(true);
    EXPECT_TRUE(bar->windowFlags() & Qt::WindowStaysOnTopHint);
    window->setOnTop(false);
    EXPECT_FALSE(bar->windowFlags() & Qt::WindowStaysOnTopHint);
}
