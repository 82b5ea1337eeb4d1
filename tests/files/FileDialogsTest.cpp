#include "FileDialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

/// Runs act on the file dialog once it is open.
void whenDialogOpens(std::function<void(QFileDialog &)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QFileDialog *>(widget); dialog && dialog->isVisible()) {
                act(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no file dialog open";
    });
}

} // namespace

TEST(FileDialogs, RealDialogReportsThePathAndTheSelectedEntry)
{
    const QString folder = TestEnvironment::freshFolder();
    FileDialogs::Request request;
    request.mode = FileDialogs::Save;
    request.fileName = folder + QStringLiteral("/proposed");
    request.filter = QStringLiteral("Plain Text File(*.txt)|*.txt|Ritch Text File(*.rtf)|*.rtf");
    request.filterIndex = 2;

    QStringList shownFilters;
    QString preselected;
    whenDialogOpens([&](QFileDialog &dialog) {
        shownFilters = dialog.nameFilters();
        preselected = dialog.selectedNameFilter();
        dialog.selectNameFilter(shownFilters.value(0));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    const FileDialogs::Result chosen = FileDialogs::showWidget(request);
    EXPECT_EQ(shownFilters,
              (QStringList {QStringLiteral("Plain Text File(*.txt)"), QStringLiteral("Ritch Text File(*.rtf)")}));
    EXPECT_EQ(preselected, QStringLiteral("Ritch Text File(*.rtf)"));
    EXPECT_FALSE(chosen.cancelled);
    EXPECT_EQ(chosen.path, folder + QStringLiteral("/proposed"));
    EXPECT_EQ(chosen.filterIndex, 1);

    whenDialogOpens([](QFileDialog &dialog) { dialog.reject(); });
    const FileDialogs::Result cancelled = FileDialogs::showWidget(request);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.path.isEmpty());
}
