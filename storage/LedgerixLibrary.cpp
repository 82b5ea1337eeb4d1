#include "LedgerixLibrary.h"

#include "Guard.h"
#include "KSINIFileHandler.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "LedgerixErrors.h"
#include "LedgerixVersion.h"
#include "RuntimeErrors.h"
#include "Twips.h"
#include "ValueTyping.h"
#include "VariantHelpers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

const QString windowParams = QStringLiteral("WindowParams");
const QString extraSuffix = QStringLiteral(".XtrParams");

void requireForm(const QObject *form)
{
    if (!form)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, LedgerixErrors::libraryName());
}

// Windows are reached by property name, like any late-bound object.
void requireProperty(const QObject *form, const char *name)
{
    requireForm(form);
    if (form->metaObject()->indexOfProperty(name) < 0)
        RuntimeErrors::raiseWithDetail(RuntimeErrors::NotSupported, LedgerixErrors::libraryName(),
                                       QString::fromLatin1(name));
}

QVariant readProperty(const QObject *form, const char *name)
{
    requireProperty(form, name);
    return form->property(name);
}

qint32 readWholeNumber(const QObject *form, const char *name)
{
    bool ok = false;
    const double value = readProperty(form, name).toDouble(&ok);
    if (!ok)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
    return qint32(std::lround(value));
}

void writeProperty(QObject *form, const char *name, const QVariant &value)
{
    requireProperty(form, name);
    if (!form->setProperty(name, value))
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
}

QSizeF screenSizeInTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize pixels = screen->geometry().size();
    return {Twips::fromPixelsX(pixels.width()), Twips::fromPixelsY(pixels.height())};
}

// Five numbers, as a saved record holds them; anything else (a record edited
// by hand, text) is not a window position.
std::optional<QList<qint32>> windowRecord(const QVariant &value)
{
    if (!Variants::isArray(value) || Variants::arrayLength(value) < 5)
        return std::nullopt;
    const QVariantList elements = Variants::arrayElements(value);
    QList<qint32> numbers;
    for (qsizetype i = 0; i < 5; ++i) {
        const QVariant &element = elements.at(i);
        const int type = element.metaType().id();
        if (type != QMetaType::Int && type != QMetaType::Double && type != QMetaType::Short)
            return std::nullopt;
        numbers.append(qint32(std::lround(element.toDouble())));
    }
    return numbers;
}

} // namespace

LedgerixLibrary::LedgerixLibrary(QObject *parent)
    : QObject(parent)
{}

LedgerixLibrary::~LedgerixLibrary() = default;

LedgerixLibrary &LedgerixLibrary::predeclared()
{
    static LedgerixLibrary library;
    return library;
}

QVariant LedgerixLibrary::missingArgument()
{
    return Variants::missing();
}

LedgerixStdInterface *LedgerixLibrary::storage() const
{
    return m_storage;
}

QString LedgerixLibrary::Version(bool bShow)
{
    return passOn(QStringLiteral("LedgerixLibrary.Version"), [&] { return LedgerixVersion::report(this, bShow); });
}

void LedgerixLibrary::KSCenterForm(QObject *oFormToCentred, QObject *oCentreWithinForm)
{
    passOn(QStringLiteral("KSCenterForm"), [&] {
        if (readWholeNumber(oFormToCentred, "WindowState") != 0)
            return;
        double areaWidth = 0;
        double areaHeight = 0;
        if (oCentreWithinForm) {
            areaWidth = readProperty(oCentreWithinForm, "Width").toDouble();
            areaHeight = readProperty(oCentreWithinForm, "Height").toDouble();
        } else {
            const QSizeF screen = screenSizeInTwips();
            areaWidth = screen.width();
            areaHeight = screen.height();
        }
        const double width = readProperty(oFormToCentred, "Width").toDouble();
        const double height = readProperty(oFormToCentred, "Height").toDouble();
        // Only the height is scaled, which keeps a window a little above the
        // middle; the host's own position is not added (child coordinates).
        writeProperty(oFormToCentred, "Top", qint32(std::lround(areaHeight * 0.85 / 2 - height / 2)));
        writeProperty(oFormToCentred, "Left", qint32(std::lround(areaWidth / 2 - width / 2)));
    });
}

LedgerixStdInterface *LedgerixLibrary::KSSetFormSaveParams(qint32 eStorageTypeEnum, const QString &sSoftwareVendor)
{
    return passOn(QStringLiteral("KSSetFormSaveParams"), [&]() -> LedgerixStdInterface * {
        const QFileInfo program(QCoreApplication::applicationFilePath());
        const QString programFolder = program.absolutePath() + QLatin1Char('/');
        if (!sSoftwareVendor.isEmpty())
            m_vendor = sSoftwareVendor;
        // The object given out before stays a child of this one, so a caller
        // still holding it keeps a working object.
        m_storage = nullptr;
        if (m_vendor.isEmpty())
            return nullptr;
        LedgerixStdInterface *made = nullptr;
        switch (eStorageTypeEnum) {
        case ledgerix_INIFile:
            made = new KSINIFileHandler(this);
            // A file beside the program is named after the program's file.
            m_storagePath = programFolder + program.completeBaseName() + QStringLiteral(".ini");
            break;
        case ledgerix_Registry:
            made = new KSRegistryKey(this);
            // The key is named after the program's title ("Wrenlog" for the
            // executable wrenlog); keys match without regard to case, so
            // records written under the file's name are still found.
            m_storagePath
                = QStringLiteral("Software\\") + m_vendor + QLatin1Char('\\') + QCoreApplication::applicationName();
            break;
        case ledgerix_StorageString:
            made = new KSStorageString(this);
            m_storagePath.clear();
            break;
        default: return nullptr;
        }
        m_storage = made;
        made->setPath(m_storagePath);
        made->setSection(windowParams);
        return made;
    });
}

void LedgerixLibrary::KSSaveFormParams(QObject *oTheForm, const QVariant &vExtraParams,
                                       bool bRestoreWindowAfterNormalize)
{
    passOn(QStringLiteral("KSSaveFormParams"), [&] {
        if (!m_storage)
            return;
        const qint32 state = readWholeNumber(oTheForm, "WindowState");
        writeProperty(oTheForm, "WindowState", 0);
        const QList<qint32> record {readWholeNumber(oTheForm, "Top"), readWholeNumber(oTheForm, "Left"),
                                    readWholeNumber(oTheForm, "Width"), readWholeNumber(oTheForm, "Height"), state};
        if (bRestoreWindowAfterNormalize)
            writeProperty(oTheForm, "WindowState", state);
        const QString name = readProperty(oTheForm, "Name").toString();
        m_storage->SetValue(name, QVariant::fromValue(record), ValueTyping::tab());
        if (!Variants::isMissing(vExtraParams) && !Variants::isEmpty(vExtraParams)
            && !ValueTyping::ObjectOf(vExtraParams))
            m_storage->SetValue(name + extraSuffix, vExtraParams, ValueTyping::tab());
    });
}

void LedgerixLibrary::KSRestoreFormParams(QObject *oTheForm, QVariant *vExtraParams)
{
    passOn(QStringLiteral("KSRestoreFormParams"), [&] {
        if (!m_storage)
            return;
        const QString name = readProperty(oTheForm, "Name").toString();
        if (const auto record = windowRecord(m_storage->GetValue(name, ValueTyping::tab()))) {
            writeProperty(oTheForm, "Top", record->at(0));
            writeProperty(oTheForm, "Left", record->at(1));
            writeProperty(oTheForm, "Width", record->at(2));
            writeProperty(oTheForm, "Height", record->at(3));
            writeProperty(oTheForm, "WindowState", record->at(4));
        }
        const QVariant extra = m_storage->GetValue(name + extraSuffix, ValueTyping::tab());
        const bool given = Variants::isArray(extra) || !Variants::toText(extra).value_or(QString()).isEmpty();
        if (given && vExtraParams)
            *vExtraParams = extra;
    });
}

void LedgerixLibrary::setLedgerixRaiseErrors(bool bRaise)
{
    passOn(QStringLiteral("LedgerixLibrary.RaiseKSErrors (Let)"), [&] { LedgerixErrors::SetRaiseErrors(bRaise); });
}
