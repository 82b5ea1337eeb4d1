#include "FormWindow.h"
#include "KSRegistryKey.h"
#include "LedgerixErrors.h"
#include "LedgerixLibrary.h"
#include "RegistryStore.h"
#include "RegistryTestSupport.h"
#include "RuntimeErrors.h"
#include "TestEnvironment.h"
#include "Twips.h"
#include "VariantHelpers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUuid>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

using RegistryTest::ErrorsOff;
using RegistryTest::raised;

namespace {

QString uniqueVendor()
{
    return QStringLiteral("Vendor") + QUuid::createUuid().toString(QUuid::Id128).left(8);
}

QString programName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString windowParamsKey(const QString &vendor)
{
    return QStringLiteral("Software\\") + vendor + QLatin1Char('\\') + programName() + QStringLiteral("\\WindowParams");
}

std::optional<QByteArray> registryData(const QString &keyPath, const QString &name)
{
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key key;
    if (store.openKey(Registry::CurrentUser, keyPath, Registry::Read, &key) != Registry::Success)
        return std::nullopt;
    QByteArray data;
    const qint32 result = store.queryValue(key, name, nullptr, &data);
    store.closeKey(key);
    if (result != Registry::Success)
        return std::nullopt;
    return data;
}

std::optional<QString> registryText(const QString &keyPath, const QString &name)
{
    const auto data = registryData(keyPath, name);
    return data ? std::optional<QString>(RegistryStore::stringFromData(*data)) : std::nullopt;
}

// A window placed in whole pixels, so its twips survive the round trip.
std::unique_ptr<FormWindow> makeWindow(const QString &name, const QRect &pixels = QRect(30, 40, 300, 200))
{
    auto window = std::make_unique<FormWindow>();
    window->setName(name);
    window->move(pixels.topLeft());
    window->resize(pixels.size());
    return window;
}

} // namespace

TEST(FormParams, AMaximisedWindowIsSavedWithItsNormalBounds)
{
    const QString vendor = uniqueVendor();
    LedgerixLibrary library;
    ASSERT_NE(library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, vendor), nullptr);

    auto window = makeWindow(QStringLiteral("MainForm"));
    const int top = window->Top(), left = window->Left(), width = window->Width(), height = window->Height();
    window->show();
    window->setProperty("WindowState", FormWindow::Maximized);
    library.KSSaveFormParams(window.get(), 0);
    EXPECT_EQ(window->WindowState(), FormWindow::Maximized);
    EXPECT_EQ(registryText(windowParamsKey(vendor), QStringLiteral("MainForm")),
              QStringLiteral("%1\t%2\t%3\t%4\t2").arg(top).arg(left).arg(width).arg(height));
    EXPECT_EQ(registryData(windowParamsKey(vendor), QStringLiteral("MainForm.XtrParams")), RegistryStore::dwordData(0));

    // Restoring puts the normal bounds back first, then maximises.
    auto again = makeWindow(QStringLiteral("MainForm"), QRect(0, 0, 50, 50));
    again->show();
    QVariant extra = QStringLiteral("untouched");
    library.KSRestoreFormParams(again.get(), &extra);
    EXPECT_EQ(again->WindowState(), FormWindow::Maximized);
    again->setWindowStateValue(FormWindow::Normal);
    EXPECT_EQ(again->Top(), top);
    EXPECT_EQ(again->Left(), left);
    EXPECT_EQ(again->Width(), width);
    EXPECT_EQ(again->Height(), height);
    EXPECT_EQ(extra, QVariant(qint32(0))); // a stored 0 comes back as the number 0

    // Without the restore option the window is left normal.
    library.KSSaveFormParams(again.get(), Variants::missing(), true);
    again->setWindowStateValue(FormWindow::Maximized);
    library.KSSaveFormParams(again.get(), Variants::missing(), false);
    EXPECT_EQ(again->WindowState(), FormWindow::Normal);
}

TEST(FormParams, ARecordThatIsNotFiveNumbersIsIgnored)
{
    LedgerixLibrary library;
    LedgerixStdInterface *storage
        = library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_StorageString, uniqueVendor());
    ASSERT_NE(storage, nullptr);
    const QString records[] = {
        QStringLiteral("5"),
        QStringLiteral("1\t2\t3"),
        QStringLiteral("a\tb\tc\td\te"),
        QStringLiteral("10\t20\tx\t40\t0"),
        QString(),
    };
    for (const QString &record : records) {
        auto window = makeWindow(QStringLiteral("Edited"));
        const int top = window->Top();
        storage->SetValue(QStringLiteral("Edited"), record);
        library.KSRestoreFormParams(window.get());
        EXPECT_EQ(window->Top(), top) << qPrintable(record);
        EXPECT_EQ(window->WindowState(), FormWindow::Normal) << qPrintable(record);
    }
    auto window = makeWindow(QStringLiteral("Edited"));
    storage->SetValue(QStringLiteral("Edited"), QStringLiteral("1500\t1200\t6000\t4500\t0"));
    library.KSRestoreFormParams(window.get());
    EXPECT_EQ(window->Top(), 1500);
    EXPECT_EQ(window->Left(), 1200);
    EXPECT_EQ(window->Width(), 6000);
}

TEST(FormParams, AnEmptyVendorMakesNoStorageAndKeepsTheLastOne)
{
    LedgerixLibrary library;
    EXPECT_EQ(library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, QString()), nullptr);
    auto window = makeWindow(QStringLiteral("Nowhere"));
    library.KSSaveFormParams(window.get()); // does nothing, raises nothing
    QVariant extra = 5;
    library.KSRestoreFormParams(window.get(), &extra);
    EXPECT_EQ(extra, QVariant(5));

    const QString vendor = uniqueVendor();
    ASSERT_NE(library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, vendor), nullptr);
    LedgerixStdInterface *kept = library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, QString());
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Path(), QStringLiteral("HKEY_CURRENT_USER\\") + windowParamsKey(vendor));
    EXPECT_EQ(kept->Section(), QStringLiteral("WindowParams"));
    LedgerixStdInterface *ini = library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_INIFile, QString());
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(ini->Path(),
              QCoreApplication::applicationDirPath() + QLatin1Char('/') + programName() + QStringLiteral(".ini"));
    EXPECT_EQ(ini->Section(), QStringLiteral("WindowParams"));
    EXPECT_EQ(library.KSSetFormSaveParams(7, vendor), nullptr);
    library.KSSaveFormParams(window.get()); // no storage after an unknown type
}

TEST(FormParams, TheStorageStringStoreLivesOnlyInMemory)
{
    const QString vendor = uniqueVendor();
    QRect saved;
    {
        LedgerixLibrary library;
        library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_StorageString, vendor);
        auto window = makeWindow(QStringLiteral("Memory"), QRect(11, 12, 130, 140));
        library.KSSaveFormParams(window.get(), QStringLiteral("2000|1800|800|800"));
        auto other = makeWindow(QStringLiteral("Memory"), QRect(0, 0, 10, 10));
        QVariant extra;
        library.KSRestoreFormParams(other.get(), &extra);
        EXPECT_EQ(other->Left(), window->Left());
        EXPECT_EQ(other->Height(), window->Height());
        EXPECT_EQ(extra, QVariant(QStringLiteral("2000|1800|800|800")));
    }
    EXPECT_FALSE(registryText(windowParamsKey(vendor), QStringLiteral("Memory")));
    EXPECT_FALSE(QFileInfo::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') + programName()
                                   + QStringLiteral(".ini")));
    LedgerixLibrary fresh;
    fresh.KSSetFormSaveParams(LedgerixLibrary::ledgerix_StorageString, vendor);
    auto window = makeWindow(QStringLiteral("Memory"), QRect(1, 2, 30, 40));
    const int left = window->Left();
    fresh.KSRestoreFormParams(window.get());
    EXPECT_EQ(window->Left(), left);
}

TEST(FormParams, MissingRecordsAndPropertiesFailWithTheirErrors)
{
    LedgerixLibrary library;
    library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, uniqueVendor());
    auto window = makeWindow(QStringLiteral("FirstRun"));
    const int top = window->Top();
    const AutomationError badKey = raised([&] { library.KSRestoreFormParams(window.get()); });
    EXPECT_EQ(badKey.number(), LedgerixErrors::BadKey);
    EXPECT_EQ(badKey.sourceLines().constLast(), QStringLiteral("KSRestoreFormParams"));
    {
        ErrorsOff off;
        library.KSRestoreFormParams(window.get());
        EXPECT_EQ(window->Top(), top);
    }

    QWidget plain;
    plain.setObjectName(QStringLiteral("Plain"));
    const AutomationError saving = raised([&] { library.KSSaveFormParams(&plain); });
    EXPECT_EQ(saving.number(), RuntimeErrors::NotSupported);
    EXPECT_EQ(saving.sourceLines().constLast(), QStringLiteral("KSSaveFormParams"));
    EXPECT_EQ(raised([&] { library.KSCenterForm(&plain); }).sourceLines().constLast(), QStringLiteral("KSCenterForm"));
}

TEST(FormParams, CentringMovesOnlyNormalWindows)
{
    LedgerixLibrary library;
    auto window = makeWindow(QStringLiteral("Centre"), QRect(0, 0, 200, 100));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const double screenWidth = Twips::fromPixelsX(screen.width());
    const double screenHeight = Twips::fromPixelsY(screen.height());
    library.KSCenterForm(window.get());
    EXPECT_NEAR(window->Top(), screenHeight * 0.85 / 2 - window->Height() / 2.0, Twips::perPixelY());
    EXPECT_NEAR(window->Left(), screenWidth / 2 - window->Width() / 2.0, Twips::perPixelX());

    auto host = makeWindow(QStringLiteral("Host"), QRect(500, 500, 400, 300));
    library.KSCenterForm(window.get(), host.get());
    EXPECT_NEAR(window->Top(), host->Height() * 0.85 / 2 - window->Height() / 2.0, Twips::perPixelY());
    EXPECT_NEAR(window->Left(), host->Width() / 2.0 - window->Width() / 2.0, Twips::perPixelX());

    window->show();
    window->setWindowStateValue(FormWindow::Minimized);
    const int top = window->Top();
    library.KSCenterForm(window.get());
    EXPECT_EQ(window->Top(), top);
}

TEST(FormParams, WindowsKeepTheirNormalBoundsWhileMaximisedOrMinimised)
{
    FormWindow unnamed;
    EXPECT_EQ(unnamed.property("Name"), QVariant(QStringLiteral("FormWindow")));

    auto window = makeWindow(QStringLiteral("Bounds"), QRect(20, 30, 200, 100));
    window->show();
    const int width = window->Width();
    for (const int state : {int(FormWindow::Maximized), int(FormWindow::Minimized)}) {
        ASSERT_TRUE(window->setProperty("WindowState", state));
        EXPECT_EQ(window->property("WindowState"), QVariant(state));
        EXPECT_EQ(window->property("Width"), QVariant(width)) << state;
        // Bounds written now are the ones the window returns to.
        ASSERT_TRUE(window->setProperty("Top", 1500));
        ASSERT_TRUE(window->setProperty("WindowState", int(FormWindow::Normal)));
        EXPECT_EQ(window->Top(), 1500) << state;
        EXPECT_EQ(window->pos().y(), Twips::toPixelsY(1500)) << state;
        EXPECT_EQ(window->Width(), width) << state;
    }
}
