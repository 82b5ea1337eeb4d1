#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Seen
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    int buttons = 0;
};

/// Shows the real box and acts on it once it is up, as a user would.
int answer(int style, const std::function<void(QMessageBox *)> &act, Seen *seen = nullptr)
{
    QTimer poll;
    int attempts = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            // A box that never shows must not hang the test run.
            if (++attempts > 500)
                QApplication::exit(1);
            return;
        }
        poll.stop();
        if (seen)
            *seen = {box->icon(), box->windowTitle(), box->text(), int(box->buttons().size())};
        act(box);
    });
    poll.start(5);
    return MessageBox::showWidget({style, QStringLiteral("Caption"), QStringLiteral("Text")});
}

void press(QMessageBox *box, Qt::Key key)
{
    QTest::keyClick(box, key);
}

} // namespace

TEST(MessageBox, stylesMapToButtonsIconsAndWindowsIds)
{
    struct Row
    {
        const char *what;
        int style;
        std::function<void(QMessageBox *)> act;
        int expected;
    };
    const QList<Row> rows = {
        {"OK with Enter", MessageBox::Ok, [](QMessageBox *b) { press(b, Qt::Key_Return); }, MessageBox::IdOk},
        {"OK with Escape", MessageBox::Ok, [](QMessageBox *b) { press(b, Qt::Key_Escape); }, MessageBox::IdOk},
        {"OK/Cancel with Escape", MessageBox::OkCancel, [](QMessageBox *b) { press(b, Qt::Key_Escape); },
         MessageBox::IdCancel},
        {"second default of Yes/No/Cancel", MessageBox::YesNoCancel | MessageBox::DefaultButton2,
         [](QMessageBox *b) { press(b, Qt::Key_Return); }, MessageBox::IdNo},
        {"third default of Abort/Retry/Ignore", MessageBox::AbortRetryIgnore | MessageBox::DefaultButton3,
         [](QMessageBox *b) { press(b, Qt::Key_Return); }, MessageBox::IdIgnore},
        {"Yes clicked", MessageBox::YesNo | MessageBox::DefaultButton2,
         [](QMessageBox *b) { b->button(QMessageBox::Yes)->click(); }, MessageBox::IdYes},
        {"Retry/Cancel with Enter", MessageBox::RetryCancel, [](QMessageBox *b) { press(b, Qt::Key_Return); },
         MessageBox::IdRetry},
        {"default beyond the buttons", MessageBox::OkCancel | MessageBox::DefaultButton4,
         [](QMessageBox *b) { press(b, Qt::Key_Return); }, MessageBox::IdOk},
    };
    ASSERT_EQ(rows.size(), 8);
    for (const Row &row : rows)
        EXPECT_EQ(answer(row.style, row.act), row.expected) << row.what;

    Seen seen;
    answer(
        MessageBox::YesNoCancel | MessageBox::IconQuestion, [](QMessageBox *b) { b->reject(); }, &seen);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.caption, QStringLiteral("Caption"));
    EXPECT_EQ(seen.text, QStringLiteral("Text"));
    EXPECT_EQ(seen.buttons, 3);
    answer(
        MessageBox::IconExclamation, [](QMessageBox *b) { b->accept(); }, &seen);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
}

TEST(MessageBox, aPresenterAnswersInsteadOfTheBox)
{
    MessageBox::Request asked;
    auto previous = MessageBox::setPresenter([&](const MessageBox::Request &request) {
        asked = request;
        return int(MessageBox::IdRetry);
    });
    EXPECT_EQ(
        MessageBox::show(MessageBox::RetryCancel | MessageBox::IconCritical, QStringLiteral("T"), QStringLiteral("x")),
        MessageBox::IdRetry);
    MessageBox::setPresenter(previous);
    EXPECT_EQ(asked.style, 0x15);
    EXPECT_EQ(asked.caption, QStringLiteral("T"));
    EXPECT_EQ(MessageBox::buttonsOf(asked.style), int(MessageBox::RetryCancel));
    EXPECT_EQ(MessageBox::iconOf(asked.style), int(MessageBox::IconCritical));
}
