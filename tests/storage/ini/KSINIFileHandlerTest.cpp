#include "KSINIFileHandler.h"
#include "LedgerixErrors.h"
#include "LedgerixLibrary.h"
#include "MessageBox.h"
#include "TestEnvironment.h"

#include "AutomationError.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString freshIni(const QByteArray &content = {})
{
    const QString path = TestEnvironment::freshFolder(QStringLiteral("ini")) + QStringLiteral("/test.ini");
    if (!content.isNull()) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    return path;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<AutomationError> failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const AutomationError &error) {
        return error;
    }
    return std::nullopt;
}

struct ErrorsOnAfterwards
{
    ~ErrorsOnAfterwards() { LedgerixErrors::SetRaiseErrors(true); }
};

/// An INI handler whose version reads as given: its class name stays KSINIFileHandler.
class VersionedIni : public KSINIFileHandler
{
public:
    explicit VersionedIni(QVariant version)
        : m_version(std::move(version))
    {}

protected:
    QVariant interfaceVersion(bool) override { return m_version; }

private:
    QVariant m_version;
};

} // namespace

TEST(KSINIFileHandler, valuesRoundTripTypedAndNamesIgnoreCase)
{
    const QString path = freshIni();
    KSINIFileHandler ini;
    ini.setPath(path);
    ini.setSection(QStringLiteral("Window"));
    EXPECT_FALSE(
        ini.SetValue(QStringLiteral("  Size "), QVariant::fromValue(QList<qint32> {640, 480}), QStringLiteral(",")));
    ini.SetValue(QStringLiteral("Title"), QStringLiteral("Debug"));
    ini.SetValue(QStringLiteral("Ratio"), 1.5);
    ini.SetValue(QStringLiteral("OnTop"), true);
    EXPECT_EQ(contentOf(path), QByteArray("[Window]\nSize=640,480\nTitle=Debug\nRatio=1.5\nOnTop=True\n"));

    ini.setSection(QStringLiteral(" WINDOW "));
    EXPECT_EQ(ini.Section(), QStringLiteral("WINDOW"));
    EXPECT_EQ(ini.GetValue(QStringLiteral("size"), QStringLiteral(",")), QVariant::fromValue(QList<qint32> {640, 480}));
    EXPECT_EQ(ini.Value(), QVariant::fromValue(QList<qint32> {640, 480}));
    EXPECT_EQ(ini.GetValue(QStringLiteral("ratio")), QVariant(1.5));
    EXPECT_EQ(ini.GetValue(QStringLiteral("ratio"), QStringLiteral("\t"), true, false),
              QVariant(QStringLiteral("1.5")));
    EXPECT_EQ(ini.GetSectionNames(), QStringList {QStringLiteral("Window")});
    EXPECT_EQ(ini.GetFieldNames(),
              QStringList(
                  {QStringLiteral("Size"), QStringLiteral("Title"), QStringLiteral("Ratio"), QStringLiteral("OnTop")}));

    // Long values and long name lists come back whole.
    const QString longValue(5000, u'x');
    ini.SetValue(QStringLiteral("Long"), longValue);
    EXPECT_EQ(ini.GetValue(QStringLiteral("long")), QVariant(longValue));
    ini.DeleteField(QStringLiteral("Long"));
    KSINIFileHandler many;
    many.setPath(freshIni());
    for (int i = 0; i < 300; ++i) {
        many.setSection(QStringLiteral("A rather long section name %1").arg(i));
        many.SetValue(QStringLiteral("k"), i);
    }
    EXPECT_EQ(many.GetSectionNames().size(), 300);

    // A missing field returns the caller's default exactly, whatever it is.
    EXPECT_FALSE(ini.GetValue(QStringLiteral("none"), QStringLiteral("\t"), true, true, QVariant()).isValid());
    EXPECT_EQ(ini.GetValue(QStringLiteral("none"), QStringLiteral("\t"), true, true, 7), QVariant(7));
    EXPECT_EQ(ini.GetValue(QStringLiteral("KSDefaultReturn_0.5")), QVariant(QString()));

    // The interface reads a missing field as empty text, and types what it finds.
    LedgerixStdInterface &store = ini;
    const QVariant missing = store.GetValue(QStringLiteral("none"));
    EXPECT_EQ(missing.metaType(), QMetaType::fromType<QString>());
    EXPECT_EQ(store.GetValue(QStringLiteral("title")), QVariant(QStringLiteral("Debug")));
}

TEST(KSINIFileHandler, sectionsPathsAndTheLastField)
{
    KSINIFileHandler ini;
    EXPECT_EQ(ini.Section(), QStringLiteral("DEFAULT"));
    ini.setSection(QStringLiteral("  "));
    EXPECT_EQ(ini.Section(), QStringLiteral("DEFAULT"));

    const QString path = freshIni();
    ini.setPath(path);
    ini.setPath(path + QStringLiteral(".other"));
    static_cast<LedgerixStdInterface &>(ini).setPath(QStringLiteral("elsewhere"));
    EXPECT_EQ(ini.Path(), path);

    // Value writes go to the last field with the last delimiter; deleting that
    // field brings the delimiter back to Tab.
    ini.setSection(QStringLiteral("s"));
    ini.GetValue(QStringLiteral("list"), QStringLiteral(","));
    ini.setValue(QVariant::fromValue(QList<qint32> {1, 2}));
    EXPECT_EQ(ini.GetValue(QStringLiteral("list"), QStringLiteral(",")), QVariant::fromValue(QList<qint32> {1, 2}));
    ini.DeleteField(QStringLiteral("LIST"));
    EXPECT_TRUE(ini.GetFieldNames().isEmpty());
    EXPECT_EQ(ini.GetSectionNames(), QStringList {QStringLiteral("s")});
    ini.SetValue(QStringLiteral("kept"), 1);
    ini.DeleteField(QStringLiteral("other"));
    ini.SetValue(QStringLiteral("list"), QString());
    ini.DeleteField(QStringLiteral("List"));
    const auto error = failureOf([&] { ini.setValue(QVariant::fromValue(QList<qint32> {3, 4})); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), LedgerixErrors::ZeroLengthFieldName);
    EXPECT_EQ(error->sourceLines().last(), QStringLiteral("KSINIFileHandler.Import (Let)"));
    {
        ErrorsOnAfterwards restore;
        LedgerixErrors::SetRaiseErrors(false);
        ini.setValue(QVariant::fromValue(QList<qint32> {3, 4}));
    }
    EXPECT_EQ(contentOf(path), QByteArray("[s]\nkept=1\n=3\t4\n"));

    ini.DeleteSection();
    EXPECT_EQ(ini.Section(), QStringLiteral("DEFAULT"));
    EXPECT_TRUE(ini.GetSectionNames().isEmpty());
    ini.DeleteFile();
    EXPECT_FALSE(QFile::exists(path));
    ini.DeleteFile();
    EXPECT_EQ(ini.Path(), path);
}

TEST(KSINIFileHandler, interfacePathsResolveBesideTheProgram)
{
    const QString program = TestEnvironment::freshFolder(QStringLiteral("program")) + u'/';
    QDir(program).mkdir(QStringLiteral("sub"));
    const QString other = TestEnvironment::freshFolder(QStringLiteral("other"));
    struct Row
    {
        QString given;
        QString expected;
    };
    const QList<Row> rows = {
        {QStringLiteral("settings"), program + QStringLiteral("settings.INI")},
        {QStringLiteral("sub/a.ini"), program + QStringLiteral("sub/a.ini")},
        {QStringLiteral("nosub/a.ini"), program + QStringLiteral("a.ini")},
        {QStringLiteral("notes.txt"), program + QStringLiteral("notes.txt")},
        {QStringLiteral("a.b"), program + QStringLiteral("a.b")},
        {QStringLiteral("my.config"), program + QStringLiteral("my.config.INI")},
        {other + QStringLiteral("/x.ini"), other + QStringLiteral("/x.ini")},
        {QStringLiteral("/no/such/folder/x.ini"), program + QStringLiteral("x.ini")},
    };
    ASSERT_EQ(rows.size(), 8);
    for (const Row &row : rows)
        EXPECT_EQ(KSINIFileHandler::resolvePath(row.given, program), row.expected) << row.given.toStdString();

    KSINIFileHandler ini;
    LedgerixStdInterface &store = ini;
    store.setPath(QString());
    EXPECT_TRUE(store.Path().isEmpty());
    store.setPath(QStringLiteral("settings"));
    EXPECT_EQ(store.Path(), ini.programFolder() + QStringLiteral("settings.INI"));
    EXPECT_TRUE(ini.programFolder().endsWith(u'/'));
}

TEST(KSINIFileHandler, failuresArriveWithOneLinePerProcedure)
{
    const QString path = freshIni("[DEFAULT]\nkeep=1\n");
    KSINIFileHandler ini;
    ini.setPath(path);
    LedgerixStdInterface &store = ini;

    // Three procedures deep below the public member that was called.
    QObject object;
    auto error = failureOf([&] { store.SetValue(QStringLiteral("f"), QVariantList {QVariant::fromValue(&object)}); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), 13);
    EXPECT_EQ(error->sourceLines(),
              QStringList({QStringLiteral("Ledgerix2"), QStringLiteral("VarToStrArray"), QStringLiteral("PrepForSet"),
                           QStringLiteral("KSINIFileHandler.SetValue"),
                           QStringLiteral("KSINIFileHandler.LedgerixStdInterface_SetValue")}));

    error = failureOf([&] { ini.SetValue(QStringLiteral("   "), 1); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), LedgerixErrors::ZeroLengthFieldName);
    EXPECT_EQ(error->source(), QStringLiteral("Ledgerix2\r\nKSINIFileHandler.SetValue"));

    error = failureOf([&] { ini.setSection(QStringLiteral("a[b")); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), LedgerixErrors::IllegalCharacters);
    EXPECT_EQ(error->source(), QStringLiteral("Ledgerix2\r\nKSINIFileHandler.Section (Let)"));
    error = failureOf([&] { store.setSection(QStringLiteral("x]")); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->sourceLines().last(), QStringLiteral("KSINIFileHandler.LedgerixStdInterface_Section (Let)"));
    EXPECT_EQ(ini.Section(), QStringLiteral("DEFAULT"));
    EXPECT_EQ(contentOf(path), QByteArray("[DEFAULT]\nkeep=1\n"));
}

TEST(KSINIFileHandler, failedWritesRaisePathFileAccessError)
{
    const QString folder = TestEnvironment::freshFolder();
    QFile blocker(folder + QStringLiteral("/plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    struct Row
    {
        QString path;
        std::function<void(KSINIFileHandler &)> call;
        const char *label;
    };
    const QString unwritable = folder + QStringLiteral("/plain/x.ini");
    QDir(folder).mkdir(QStringLiteral("dir.ini"));
    const QList<Row> rows = {
        {unwritable, [](KSINIFileHandler &ini) { ini.SetValue(QStringLiteral("k"), 1); }, "KSINIFileHandler.SetValue"},
        {QString(), [](KSINIFileHandler &ini) { ini.SetValue(QStringLiteral("k"), 1); }, "KSINIFileHandler.SetValue"},
        {folder + QStringLiteral("/dir.ini"), [](KSINIFileHandler &ini) { ini.setValue(5); },
         "KSINIFileHandler.Import (Let)"},
        {folder + QStringLiteral("/dir.ini"), [](KSINIFileHandler &ini) { ini.DeleteSection(); },
         "KSINIFileHandler.DeleteSection"},
    };
    ASSERT_EQ(rows.size(), 4);
    for (const Row &row : rows) {
        KSINIFileHandler ini;
        ini.setPath(row.path);
        ini.GetValue(QStringLiteral("k"));
        const auto error = failureOf([&] { row.call(ini); });
        ASSERT_TRUE(error.has_value()) << row.label;
        EXPECT_EQ(error->number(), 75) << row.label;
        EXPECT_TRUE(error->description().startsWith(QStringLiteral("Path/File access error")));
        EXPECT_EQ(error->sourceLines().first(), QStringLiteral("Ledgerix2"));
        EXPECT_EQ(error->sourceLines().last(), QString::fromUtf8(row.label));
    }
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/dir.ini")).isDir());
}

TEST(KSINIFileHandler, withErrorsOffTheOperationGoesAhead)
{
    ErrorsOnAfterwards restore;
    LedgerixLibrary().setLedgerixRaiseErrors(false);
    const QString path = freshIni();
    KSINIFileHandler ini;
    ini.setPath(path);
    ini.setSection(QStringLiteral("[odd]"));
    EXPECT_EQ(ini.Section(), QStringLiteral("[odd]"));
    ini.setSection(QStringLiteral("s"));
    ini.SetValue(QString(), QStringLiteral("v"));
    EXPECT_EQ(contentOf(path), QByteArray("[s]\n=v\n"));

    // Run-time errors are never silenced.
    ini.setSection(QStringLiteral("t"));
    QObject object;
    EXPECT_TRUE(failureOf([&] { ini.SetValue(QStringLiteral("f"), QVariant::fromValue(&object)); }).has_value());
}

TEST(KSINIFileHandler, importCopiesEveryIniSection)
{
    const QString sourcePath = freshIni("[A]\nlist=1\t2\nname=x\n[b]\nn=3.5\n");
    KSINIFileHandler source;
    source.setPath(sourcePath);
    const QString targetPath = freshIni("[keep]\nk=1\n[a]\nname=old\n");
    KSINIFileHandler target;
    target.setPath(targetPath);
    target.setValue(QVariant::fromValue(&source));
    EXPECT_EQ(contentOf(targetPath), QByteArray("[keep]\nk=1\n[a]\nname=x\nlist=1\t2\n[b]\nn=3.5\n"));
    EXPECT_EQ(contentOf(sourcePath), QByteArray("[A]\nlist=1\t2\nname=x\n[b]\nn=3.5\n"));

    // Sources that are not of version 2.0 or later are refused whole.
    const QList<QVariant> versions = {QStringLiteral("1.9"), QStringLiteral("2"), QStringLiteral("abc")};
    ASSERT_EQ(versions.size(), 3);
    for (const QVariant &version : versions) {
        VersionedIni old(version);
        old.setPath(sourcePath);
        const QString path = freshIni();
        KSINIFileHandler fresh;
        fresh.setPath(path);
        const auto error = failureOf([&] { fresh.setValue(QVariant::fromValue(static_cast<QObject *>(&old))); });
        ASSERT_TRUE(error.has_value()) << version.toString().toStdString();
        EXPECT_EQ(error->number(), LedgerixErrors::IncompatibleVersion);
        EXPECT_EQ(error->sourceLines().last(), QStringLiteral("KSINIFileHandler.Import (Let)"));
        EXPECT_FALSE(QFile::exists(path));
    }
    // With errors switched off the import carries on past the failed check.
    {
        VersionedIni old(QStringLiteral("1.9"));
        old.setPath(sourcePath);
        KSINIFileHandler fresh;
        fresh.setPath(freshIni());
        LedgerixErrors::SetRaiseErrors(false);
        const auto error = failureOf([&] { fresh.setValue(QVariant::fromValue(static_cast<QObject *>(&old))); });
        LedgerixErrors::SetRaiseErrors(true);
        EXPECT_FALSE(error.has_value());
        EXPECT_EQ(fresh.GetSectionNames(), QStringList({QStringLiteral("A"), QStringLiteral("b")}));
    }
    VersionedIni newer(QStringLiteral("2.1"));
    newer.setPath(sourcePath);
    KSINIFileHandler accepting;
    accepting.setPath(freshIni());
    accepting.setValue(QVariant::fromValue(static_cast<QObject *>(&newer)));
    EXPECT_EQ(accepting.GetSectionNames(), QStringList({QStringLiteral("A"), QStringLiteral("b")}));
}

TEST(KSINIFileHandler, versionReportNamesTheClass)
{
    QString text;
    const auto previous = MessageBox::setPresenter([&](const MessageBox::Request &request) {
        text = request.text;
        return int(MessageBox::IdOk);
    });
    KSINIFileHandler ini;
    EXPECT_EQ(static_cast<LedgerixStdInterface &>(ini).Version(true), QVariant(QStringLiteral("2.0")));
    MessageBox::setPresenter(previous);
    EXPECT_EQ(text, QStringLiteral("Ledgerix2 - 2.0.4\rModule: KSINIFileHandler - 2.0"));
}

TEST(KSINIFileHandler, twoProcessesWritingDifferentFieldsBothSurvive)
{
    const QString path = freshIni("[DEFAULT]\nkeep=1\n");
    const int perWriter = 100;
    const QStringList failures = TestEnvironment::runTogether(
        QStringLiteral(INI_WRITER),
        {{path, QStringLiteral("shared"), QStringLiteral("a"), QString::number(perWriter)},
         {path, QStringLiteral("Shared"), QStringLiteral("b"), QString::number(perWriter)}});
    ASSERT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

    KSINIFileHandler ini;
    ini.setPath(path);
    ini.setSection(QStringLiteral("SHARED"));
    ASSERT_EQ(ini.GetFieldNames().size(), 2 * perWriter);
    for (int n = 0; n < perWriter; ++n) {
        EXPECT_EQ(ini.GetValue(QStringLiteral("a%1").arg(n)), QVariant::fromValue(qint32(n)));
        EXPECT_EQ(ini.GetValue(QStringLiteral("b%1").arg(n)), QVariant::fromValue(qint32(n)));
    }
    ini.setSection(QString());
    EXPECT_EQ(ini.GetValue(QStringLiteral("keep")), QVariant::fromValue(qint32(1)));
}
