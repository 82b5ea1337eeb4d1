#include "KSINIFileHandler.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "StorageStringFile.h"
#include "StorageStringTestSupport.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace StorageStringTest;

namespace {

/// A control with the properties a store can mirror.
class Control : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(QString Text MEMBER text)

public:
    QString caption;
    QString text;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(StorageStringBinding, RefreshesFromAndPushesToTheProperty)
{
    Control control;
    control.caption = QStringLiteral("<\\A={1};/>");
    KSStorageString store;
    store.setBindMode(ledgerix_BindModeCaption);
    EXPECT_FALSE(store.MultiPage());
    store.setBoundObject(&control);
    EXPECT_EQ(store.Value().toString(), control.caption);

    control.caption = QStringLiteral("<\\A={2};/>");
    EXPECT_EQ(store.GetValue(QStringLiteral("A")), QVariant(qint32(2)));
    store.SetValue(QStringLiteral("B"), QStringLiteral("x"));
    EXPECT_EQ(control.caption, QStringLiteral("<\\A={2};/><\\B={x};/>"));
    store.DeleteField(QStringLiteral("A"));
    EXPECT_EQ(control.caption, QStringLiteral("<\\B={x};/>"));
    store.Clear();
    EXPECT_EQ(control.caption, QString());

    store.setBindMode(ledgerix_BindModeNone);
    EXPECT_EQ(store.BoundObject(), nullptr);
    EXPECT_TRUE(store.MultiPage());
    store.setValue(QStringLiteral("unbound"));
    EXPECT_EQ(control.caption, QString());
}

TEST(StorageStringBinding, DefaultPropertyAndModes)
{
    QLineEdit edit;
    edit.setText(QStringLiteral("typed"));
    KSStorageString store;
    store.setBoundObject(&edit); // mode 0 becomes the default property
    EXPECT_EQ(store.BindMode(), qint32(ledgerix_BindModeDefaultProperty));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("typed"));
    store.InsertText(QStringLiteral("re-"), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("re-typed"));

    // A store's own default property is its Value.
    KSStorageString inner;
    inner.setValue(QStringLiteral("inner text"));
    KSStorageString outer;
    outer.setBoundObject(&inner);
    EXPECT_EQ(outer.Value().toString(), QStringLiteral("inner text"));
    outer.setValue(QStringLiteral("pushed"));
    EXPECT_EQ(inner.Value().toString(), QStringLiteral("pushed"));

    // The tag property of a plain object, and a property the object lacks.
    QObject tagged;
    tagged.setProperty("Tag", QStringLiteral("tag text"));
    KSStorageString byTag;
    byTag.setBindMode(ledgerix_BindModeTag);
    byTag.setBoundObject(&tagged);
    EXPECT_EQ(byTag.Value().toString(), QStringLiteral("tag text"));
    KSStorageString byValue;
    byValue.setBindMode(ledgerix_BindModeValue);
    const auto missing = failureOf([&] { byValue.setBoundObject(&tagged); });
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->number(), 438);
    // The standard text, raised by the library itself.
    EXPECT_EQ(missing->description(), QStringLiteral("Object doesn't support this property or method"));
    EXPECT_EQ(missing->sourceLines().first(), QStringLiteral("Ledgerix2"));
    // A text the property cannot take is a type mismatch from the library too.
    QSpinBox spin;
    KSStorageString bySpin;
    bySpin.setBoundObject(&spin);
    EXPECT_EQ(bySpin.Value().toString(), QStringLiteral("0"));
    const auto mismatch = failureOf([&] { bySpin.setValue(QStringLiteral("not a number")); });
    ASSERT_TRUE(mismatch.has_value());
    EXPECT_EQ(mismatch->number(), 13);
    EXPECT_EQ(mismatch->description(), QStringLiteral("Type mismatch"));
    EXPECT_EQ(mismatch->sourceLines().first(), QStringLiteral("Ledgerix2"));

    // The other two stores' default property is their Value: the last value
    // they read or wrote, written back under the same field name.
    const QString iniPath = TestEnvironment::freshFolder(QStringLiteral("bound")) + QStringLiteral("/bound.ini");
    KSINIFileHandler ini;
    ini.setPath(iniPath);
    ini.setSection(QStringLiteral("S"));
    ini.SetValue(QStringLiteral("F"), QStringLiteral("<\\A={1};/>"));
    ini.GetValue(QStringLiteral("F")); // the value the handler's Value holds
    KSStorageString viaIni;
    viaIni.setBoundObject(&ini);
    EXPECT_EQ(viaIni.BindMode(), qint32(ledgerix_BindModeDefaultProperty));
    EXPECT_EQ(viaIni.GetValue(QStringLiteral("A")), QVariant(qint32(1)));
    viaIni.SetValue(QStringLiteral("B"), QStringLiteral("x"));
    EXPECT_EQ(ini.GetValue(QStringLiteral("F")), QVariant(QStringLiteral("<\\A={1};/><\\B={x};/>")));

    KSRegistryKey key;
    key.setKeyName(QStringLiteral("Software\\WrenlogTests\\BoundStore"));
    key.SetValue(QStringLiteral("R"), QStringLiteral("<\\C={z};/>"));
    KSStorageString viaKey;
    viaKey.setBindMode(ledgerix_BindModeDefaultProperty);
    viaKey.setBoundObject(&key);
    EXPECT_EQ(viaKey.GetValue(QStringLiteral("C")), QVariant(QStringLiteral("z")));
    viaKey.DeleteField(QStringLiteral("C"));
    EXPECT_EQ(key.GetValue(QStringLiteral("R"), QStringLiteral("\t"), false, false, QString()), QVariant(QString()));

    // Setting nothing ends the syncing but keeps single-page mode until the mode is cleared.
    byTag.setBoundObject(nullptr);
    EXPECT_EQ(byTag.BindMode(), qint32(ledgerix_BindModeNone));
    byTag.setValue(QStringLiteral("local"));
    EXPECT_EQ(tagged.property("Tag").toString(), QStringLiteral("tag text"));
    EXPECT_FALSE(byTag.MultiPage());
    byTag.setBindMode(ledgerix_BindModeNone);
    EXPECT_TRUE(byTag.MultiPage());
    EXPECT_EQ(errorNumberOf([&] { byTag.setBindMode(9); }), 5);
}

TEST(StorageStringBinding, LoopsAndConflictsAreRefusedOrHarmless)
{
    KSStorageString a;
    KSStorageString b;
    a.setValue(QStringLiteral("a text"));
    b.setBoundObject(&a);
    const auto error = failureOf([&] { a.setBoundObject(&b); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), LedgerixErrors::StorageStringAlreadyBound);
    EXPECT_TRUE(error->source().endsWith(QStringLiteral("KSStorageString.BoundTagObject (Set)")));

    KSStorageString self;
    self.setValue(QStringLiteral("me"));
    self.setBoundObject(&self);
    self.SetValue(QStringLiteral("F"), 1);
    EXPECT_EQ(self.Value().toString(), QStringLiteral("me<\\F={1};/>"));

    ErrorsOff off;
    a.setBoundObject(&b);
    a.SetValue(QStringLiteral("G"), 2);
    EXPECT_EQ(b.GetValue(QStringLiteral("G")), QVariant(qint32(2)));
    EXPECT_EQ(a.Value().toString(), b.Value().toString());
}

TEST(StorageStringProtection, RefusesDirectWritesAndBindingConflicts)
{
    KSStorageString store;
    store.setValue(QStringLiteral("kept"));
    store.setProtect(true);
    const QString file = TestEnvironment::freshFolder() + QStringLiteral("/p.txt");
    writeBytes(file, "other");
    const QList<std::function<void()>> refused = {
        [&] { store.setValue(QStringLiteral("x")); },
        [&] { store.Load(file); },
        [&] { store.Replace(QStringLiteral("e"), QStringLiteral("E")); },
    };
    ASSERT_EQ(refused.size(), 3);
    for (const auto &call : refused)
        EXPECT_EQ(errorNumberOf(call), LedgerixErrors::DirectStringAccessProhibited);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("kept"));
    EXPECT_EQ(errorNumberOf([&] { store.setBindMode(ledgerix_BindModeText); }),
              LedgerixErrors::CantBindWhilstProtected);
    store.InsertText(QStringLiteral("still "), 1);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("still kept"));

    {
        ErrorsOff off;
        store.setValue(QStringLiteral("written"));
        EXPECT_EQ(store.Value().toString(), QStringLiteral("written"));
        store.Load(file);
        EXPECT_EQ(store.Replace(QStringLiteral("w"), QStringLiteral("W")), 0);
        EXPECT_EQ(store.Value().toString(), QStringLiteral("written"));
    }

    Control control;
    KSStorageString bound;
    bound.setBindMode(ledgerix_BindModeText);
    bound.setBoundObject(&control);
    EXPECT_EQ(errorNumberOf([&] { bound.setProtect(true); }), LedgerixErrors::CantProtectWhilstBound);
    EXPECT_EQ(errorNumberOf([&] { bound.setProtect(false); }), LedgerixErrors::CantProtectWhilstBound);
}

TEST(StorageStringFiles, SaveAndLoadRoundTrip)
{
    const QString folder = TestEnvironment::freshFolder();
    const QString path = folder + QStringLiteral("/page.txt");
    const QStringList texts = {
        QStringLiteral("plain <\\A={1};/>\r\nline two"),
        QStringLiteral("Grüße \u20ac \u4e2d\U0001F600"),
        QStringLiteral("\ufeffstarts with a byte-order mark"),
        QString(QChar(0)) + QChar(0xD800) + QStringLiteral("lone") + QChar(0xDC00),
        QString(),
    };
    ASSERT_EQ(texts.size(), 5);
    for (const QString &text : texts) {
        KSStorageString out;
        out.setValue(text);
        out.Save(path);
        KSStorageString in;
        in.setValue(QStringLiteral("old"));
        in.Load(path);
        EXPECT_EQ(in.Value().toString(), text);
    }
    EXPECT_EQ(fileBytes(path), QByteArray());

    KSStorageString store;
    store.setValue(QStringLiteral("é"));
    store.Save(path);
    EXPECT_EQ(fileBytes(path), QByteArray("\xC3\xA9"));

    // Appending adds at the end of the file; a shorter save replaces it all.
    store.setValue(QStringLiteral("longer text"));
    store.Save(path);
    store.setValue(QStringLiteral("+tail"));
    store.Save(path, true);
    EXPECT_EQ(fileBytes(path), QByteArray("longer text+tail"));
    store.setValue(QStringLiteral("short"));
    store.Save(path);
    EXPECT_EQ(fileBytes(path), QByteArray("short"));
    store.Load(path, true);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("shortshort"));
}

TEST(StorageStringFiles, OldAnsiFilesAndFailures)
{
    const QString folder = TestEnvironment::freshFolder();
    const QString ansi = folder + QStringLiteral("/ansi.txt");
    writeBytes(ansi, QByteArray("caf\xE9 \x80 \x81"));
    KSStorageString store;
    store.Load(ansi);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("café \u20ac \u0081"));

    const auto missing = failureOf([&] { store.Load(folder + QStringLiteral("/none.txt")); });
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->number(), 53);
    EXPECT_TRUE(missing->source().endsWith(QStringLiteral("\r\nKSStorageString.Load")));
    EXPECT_EQ(errorNumberOf([&] { store.Load(folder); }), 53);

    // A path below a regular file cannot be written, not even by root.
    const auto unwritable = failureOf([&] { store.Save(ansi + QStringLiteral("/below.txt")); });
    ASSERT_TRUE(unwritable.has_value());
    EXPECT_EQ(unwritable->number(), 75);
    EXPECT_EQ(errorNumberOf([&] { store.Save(ansi + QStringLiteral("/below.txt"), true); }), 75);
    EXPECT_EQ(fileBytes(ansi), QByteArray("caf\xE9 \x80 \x81"));

    EXPECT_FALSE(StorageStringFile::isUtf8(QByteArray("\xC0\xAF"))); // overlong
    EXPECT_FALSE(StorageStringFile::isUtf8(QByteArray("\xE2\x82"))); // cut short
    EXPECT_FALSE(StorageStringFile::isUtf8(QByteArray("\xF4\x90\x80\x80"))); // beyond U+10FFFF
    EXPECT_TRUE(StorageStringFile::isUtf8(QByteArray("\xF0\x9F\x98\x80")));
}

TEST(StorageStringImport, FromAnotherStorageString)
{
    KSStorageString source;
    source.setPageName(QStringLiteral("first"));
    source.SetValue(QStringLiteral("A"), QVariant::fromValue(QList<qint32> {1, 2}));
    source.AddPage(QStringLiteral("second"));
    source.SetValue(QStringLiteral("B"), QStringLiteral("007"));
    source.InsertText(QStringLiteral("free text "), 1);
    source.AddPage(QString());
    source.setPage(2);

    KSStorageString target;
    target.setValue(QStringLiteral("old"));
    target.AddPage(QStringLiteral("old page"));
    target.setValue(QVariant::fromValue(static_cast<QObject *>(&source)));
    EXPECT_EQ(target.PageCount(), 3);
    EXPECT_EQ(target.GetPageNames(), (QStringList {"first", "second", QString()}));
    target.setPage(1);
    EXPECT_EQ(target.Value().toString(), QStringLiteral("<\\A={1\t2};/>"));
    target.setPage(2);
    // Fields travel; free text does not, and numeric text arrives as a number.
    EXPECT_EQ(target.Value().toString(), QStringLiteral("<\\B={7};/>"));
    EXPECT_EQ(source.Page(), QVariant(2));

    // Assigning a store to itself leaves it as it was.
    source.setValue(QVariant::fromValue(static_cast<QObject *>(&source)));
    EXPECT_EQ(source.PageCount(), 3);
    EXPECT_EQ(source.GetValue(QStringLiteral("B")), QVariant(qint32(7)));
}

TEST(StorageStringImport, BetweenStorageStringAndIniFile)
{
    const QString folder = TestEnvironment::freshFolder();
    KSStorageString source;
    source.SetValue(QStringLiteral("Top"), 100);
    source.AddPage(QStringLiteral("Window"));
    source.SetValue(QStringLiteral("Size"), QVariant::fromValue(QList<qint32> {640, 480}), QStringLiteral(","));
    source.setPage(1);

    KSINIFileHandler ini;
    ini.setPath(folder + QStringLiteral("/import.ini"));
    ini.setValue(QVariant::fromValue(static_cast<QObject *>(&source)));
    EXPECT_EQ(ini.GetSectionNames(), (QStringList {"DEFAULT", "Window"}));
    ini.setSection(QStringLiteral("DEFAULT"));
    EXPECT_EQ(ini.GetValue(QStringLiteral("Top")), QVariant(qint32(100)));
    ini.setSection(QStringLiteral("Window"));
    EXPECT_EQ(ini.GetValue(QStringLiteral("Size"), QStringLiteral(",")), QVariant::fromValue(QList<qint32> {640, 480}));
    EXPECT_EQ(source.Page(), QVariant(1));

    KSStorageString back;
    back.setValue(QVariant::fromValue(static_cast<QObject *>(&ini)));
    EXPECT_EQ(back.GetPageNames(), (QStringList {"DEFAULT", "Window"}));
    EXPECT_EQ(back.PageName(), QStringLiteral("Window"));
    back.setPage(1);
    EXPECT_EQ(back.GetValue(QStringLiteral("Top")), QVariant(qint32(100)));
    back.setPage(QStringLiteral("window"));
    EXPECT_EQ(back.GetValue(QStringLiteral("Size"), QStringLiteral(",")),
              QVariant::fromValue(QList<qint32> {640, 480}));
}

#include "StorageStringBindingTest.moc"
