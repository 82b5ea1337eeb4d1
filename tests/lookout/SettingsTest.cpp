#include "LookoutFixture.h"

#include "BusSenders.h"
#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <unistd.h>

namespace {

QDialog *openDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("LookoutPropertiesForm") && widget->isVisible())
            return qobject_cast<QDialog *>(widget);
    }
    return nullptr;
}

} // namespace

TEST_F(LookoutTest, PropertiesAndMenuChoicesSurviveARestart)
{
    start();
    WrenlogPlugin *plugin = link->manager()->Plugin(QStringLiteral("KSLookout.Lookout"));
    ASSERT_NE(plugin, nullptr);
    EXPECT_TRUE(plugin->HasProperties());
    click(QStringLiteral("Show Sender"));

    // The dialog, as the user fills it: two rules (the second refused first for a bad expression), a cap.
    QStringList seen;
    QTimer::singleShot(0, [&] {
        QDialog *dialog = openDialog();
        if (!dialog) {
            seen << QStringLiteral("no dialog");
            return;
        }
        auto *pattern = dialog->findChild<QLineEdit *>(QStringLiteral("txtPattern"));
        auto *expression = dialog->findChild<QCheckBox *>(QStringLiteral("chkRegularExpression"));
        auto *matchCase = dialog->findChild<QCheckBox *>(QStringLiteral("chkMatchCase"));
        auto *add = dialog->findChild<QPushButton *>(QStringLiteral("cmdAdd"));
        auto *rules = dialog->findChild<QListWidget *>(QStringLiteral("lstRules"));
        auto *cap = dialog->findChild<QSpinBox *>(QStringLiteral("spnMaxLines"));
        pattern->setText(QStringLiteral("fail"));
        add->click();
        pattern->setText(QStringLiteral("^(warn"));
        expression->setChecked(true);
        matchCase->setChecked(true);
        add->click();
        seen << QString::number(rules->count());
        pattern->setText(QStringLiteral("^warn\tx"));
        add->click();
        seen << QString::number(rules->count());
        cap->setValue(5000);
        dialog->accept();
    });
    plugin->ShowProperties();
    EXPECT_EQ(seen, (QStringList {QStringLiteral("1"), QStringLiteral("2")}));

    const QStringList ini = iniLines();
    EXPECT_TRUE(ini.contains(QStringLiteral("Rule1=255\tText\tAnyCase\tfail"))) << ini.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("Rule2=255\tRegExp\tMatchCase\t^warn\tx")));
    EXPECT_TRUE(ini.contains(QStringLiteral("MaxLines=5000")));
    EXPECT_TRUE(ini.contains(QStringLiteral("ShowSender=True")));

    restart();
    EXPECT_TRUE(menuItem(QStringLiteral("Show Sender"))->Checked());
    EXPECT_FALSE(menuItem(QStringLiteral("Time Stamps"))->Checked());
    click(QStringLiteral("Show Sender"));
    print(QStringLiteral("warn\tx here"), 0x123456);
    print(QStringLiteral("it failed"), 0x123456);
    print(QStringLiteral("WARN\tx"), 0x123456);
    EXPECT_EQ(colourAt(0, 4), 255);
    EXPECT_EQ(colourAt(13, 4), 255);
    EXPECT_EQ(colourAt(24, 4), 0x123456);

    // Removing a rule in the dialog removes it from the file too.
    QTimer::singleShot(0, [&] {
        if (QDialog *dialog = openDialog()) {
            dialog->findChild<QListWidget *>(QStringLiteral("lstRules"))->setCurrentRow(0);
            dialog->findChild<QPushButton *>(QStringLiteral("cmdRemove"))->click();
            dialog->accept();
        }
    });
    link->manager()->Plugin(QStringLiteral("KSLookout.Lookout"))->ShowProperties();
    restart();
    print(QStringLiteral("it failed"), 0x123456);
    EXPECT_EQ(colourAt(0, 4), 0x123456);
    EXPECT_TRUE(iniLines().contains(QStringLiteral("Rule1=255\tRegExp\tMatchCase\t^warn\tx")));
}

TEST(LookoutSenders, AProcessIsItsNameAndId)
{
    const quint32 pid = quint32(::getpid());
    EXPECT_EQ(BusSenders::describeProcess(pid), QStringLiteral("lookout_tests %1").arg(pid));
}
