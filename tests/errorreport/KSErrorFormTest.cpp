#include "AutomationError.h"
#include "ErrorReporter.h"
#include "Guard.h"
#include "KSErrorForm.h"
#include "TestEnvironment.h"
#include "Twips.h"
#include "WhenModal.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

AutomationError toggleOnTopFailure()
{
    return AutomationError(5, QStringLiteral("Invalid procedure call or argument"),
                           QStringLiteral("Wrenlog\r\nWrenlogMainForm.ToggleOnTop"));
}

// The dialog's heights are the window's: the client area and the frame the
// platform reports or, where nothing frames the window, the style's caption.
int windowHeightInTwips(const QWidget &widget)
{
    int frame = widget.frameGeometry().height() - widget.height();
    if (frame <= 0)
        frame = widget.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &widget)
            + 2 * widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &widget);
    return int(std::lround(Twips::fromPixelsY(widget.height() + frame)));
}

void whenDialogShows(std::function<void(KSErrorForm &)> action)
{
    TestEnvironment::whenModalShows<KSErrorForm>(std::move(action));
}

} // namespace

TEST(KSErrorForm, ShowsTheReportAndFoldsOutItsDetailsOnce)
{
    KSErrorForm form(QStringLiteral("Wrenlog"), TestEnvironment::freshFolder());
    form.Prepare(toggleOnTopFailure(), QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), false);
    form.show();

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Wrenlog - Error Warning"));
    EXPECT_EQ(form.lblMessage->text(),
              QStringLiteral("An error has occurred during runtime.\n"
                             "Click the 'Details' button for more information."));
    EXPECT_EQ(form.txtDescription->toPlainText(),
              QStringLiteral("Error Code: 5\nDescription: Invalid procedure call or argument\n"
                             "Trapped In: WrenlogMainForm.mnuOnTop_Click"));
    EXPECT_EQ(form.txtCallStack->toPlainText(), QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop\n"));
    EXPECT_FALSE(form.chkSaveToLog->isChecked());
    EXPECT_NEAR(windowHeightInTwips(form), KSErrorForm::collapsedHeight, 15);
    // Folded, only the message, the icon and the buttons show.
    EXPECT_LE(form.cmdOK->geometry().bottom(), form.height());
    EXPECT_FALSE(form.findChild<QWidget *>(QStringLiteral("rule"))->isVisible());
    EXPECT_FALSE(form.txtDescription->isVisible());
    EXPECT_FALSE(form.chkSaveToLog->isVisible());
    EXPECT_EQ(form.cmdOK->text(), QStringLiteral("Ok"));
    EXPECT_EQ(form.cmdDetails->text(), QStringLiteral("Details >>"));

    form.cmdDetails->click();
    EXPECT_NEAR(windowHeightInTwips(form), KSErrorForm::expandedHeight, 15);
    EXPECT_LE(form.chkSaveToLog->geometry().bottom(), form.height());
    EXPECT_TRUE(form.findChild<QWidget *>(QStringLiteral("rule"))->isVisible());
    EXPECT_TRUE(form.chkSaveToLog->isVisible());
    EXPECT_FALSE(form.cmdDetails->isEnabled());
    EXPECT_EQ(form.cmdOK->pos(), QPoint(Twips::toPixelsX(4080), Twips::toPixelsY(4200)));
    form.cmdDetails->click(); // disabled: nothing more happens
    EXPECT_NEAR(windowHeightInTwips(form), KSErrorForm::expandedHeight, 15);
    form.cmdOK->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(KSErrorForm, LogsOnEveryWayOfClosingOnlyWhenTicked)
{
    struct Case
    {
        const char *name;
        bool ticked;
        bool viaOkButton;
        bool expectLog;
    };
    const Case cases[] = {
        {"ticked, closed with Ok", true, true, true},
        {"ticked, closed with the close box", true, false, true},
        {"unticked, closed with Ok", false, true, false},
        {"unticked, closed with the close box", false, false, false},
    };
    for (const Case &c : cases) {
        const QString folder = TestEnvironment::freshFolder();
        KSErrorForm form(QStringLiteral("Wrenlog"), folder);
        form.Prepare(toggleOnTopFailure(), QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), c.ticked);
        form.show();
        if (c.viaOkButton)
            form.cmdOK->click();
        else
            form.close();
        EXPECT_FALSE(form.isVisible()) << c.name;
        EXPECT_EQ(QFile::exists(folder + QStringLiteral("/error.log")), c.expectLog) << c.name;
        EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), c.expectLog ? 1 : 0)
            << c.name;
    }
}

TEST(KSErrorForm, UntickedLeavesAnExistingLogUntouched)
{
    const QString folder = TestEnvironment::freshFolder();
    const QString path = folder + QStringLiteral("/error.log");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Earlier]\nTrapped In=x\n");
    }
    const QDateTime before = QFileInfo(path).lastModified();
    KSErrorForm form(QStringLiteral("Wrenlog"), folder);
    form.Prepare(toggleOnTopFailure(), QStringLiteral("Some.Handler"), false);
    form.show();
    form.cmdOK->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Earlier]\nTrapped In=x\n"));
    EXPECT_EQ(QFileInfo(path).lastModified(), before);
}

TEST(KSErrorForm, AnUnwritableLogStillClosesTheDialog)
{
    const QString folder = TestEnvironment::freshFolder();
    QFile blocker(folder + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    KSErrorForm form(QStringLiteral("Wrenlog"), blocker.fileName() + QStringLiteral("/below"));
    form.Prepare(toggleOnTopFailure(), QStringLiteral("Some.Handler"), true);
    form.show();
    form.cmdOK->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(ErrorReporter, TheReportHookShowsTrappedFailuresModally)
{
    const QString folder = TestEnvironment::freshFolder();
    const ErrorReporter reporter(QStringLiteral("wrenkit1"), folder);
    const Guard::ReportHook previous = Guard::setReportHook({});
    reporter.installAsReportHook();

    QString title;
    QString callStack;
    QString description;
    whenDialogShows([&](KSErrorForm &form) {
        title = form.windowTitle();
        callStack = form.txtCallStack->toPlainText();
        description = form.txtDescription->toPlainText();
        form.chkSaveToLog->setChecked(true);
        form.cmdOK->click();
    });
    const bool succeeded = reportFailure(QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), [] {
        passOn(QStringLiteral("WrenlogMainForm.ToggleOnTop"),
               [] { throw AutomationError(13, QStringLiteral("Type mismatch"), QStringLiteral("Wrenlog")); });
    });
    Guard::setReportHook(previous);

    EXPECT_FALSE(succeeded);
    EXPECT_EQ(title, QStringLiteral("wrenkit1 - Error Warning"));
    EXPECT_EQ(callStack, QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop\n"));
    EXPECT_TRUE(description.endsWith(QStringLiteral("Trapped In: WrenlogMainForm.mnuOnTop_Click")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/error.log")));
}
