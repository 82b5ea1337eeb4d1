#include "AutomationError.h"
#include "FileDialogs.h"
#include "FileType.h"
#include "FileTypeCollection.h"
#include "RuntimeErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

/// The number of the failure fn raises, or nullopt when it raises none.
template<typename Fn>
std::optional<qint32> failureOf(Fn &&fn, QString *source = nullptr)
{
    try {
        fn();
    } catch (const AutomationError &error) {
        if (source)
            *source = error.source();
        return error.number();
    }
    return std::nullopt;
}

struct BuiltIns
{
    BuiltIns()
    {
        types.Add(QStringLiteral(".txt"), QStringLiteral("Plain Text File"));
        types.Add(QStringLiteral(".rtf"), QStringLiteral("Ritch Text File"));
    }
    FileTypeCollection types;
};

} // namespace

TEST(FileType, ExtensionAlwaysStartsWithAFullStop)
{
    const struct
    {
        const char *written;
        const char *read;
    } rows[] = {{"log", ".log"}, {".txt", ".txt"}, {"", "."}};
    for (const auto &row : rows) {
        FileType type;
        type.setExtention(QString::fromLatin1(row.written));
        EXPECT_EQ(type.Extention(), QString::fromLatin1(row.read)) << row.written;
    }
    FileType loose;
    EXPECT_EQ(loose.Index(), 0);
}

TEST(FileType, CheckFileTypeLooksOnlyAfterTheLastFullStop)
{
    FileType text;
    text.setExtention(QStringLiteral("txt"));
    const struct
    {
        const char *path;
        bool matches;
    } rows[] = {
        {"/home/me/A.TXT", true},       {"/home/me/A.txt.bak", false}, {"a.Txt", true},
        {"/home/me.txt/readme", false}, // ".txt/readme"
        {"/home/x.y/notes.txt", true},  {"/home/me/A.", false},
    };
    for (const auto &row : rows) {
        const QVariant result = text.CheckFileType(QString::fromLatin1(row.path));
        EXPECT_EQ(result.metaType(), QMetaType::fromType<bool>()) << row.path;
        EXPECT_EQ(result.toBool(), row.matches) << row.path;
    }
    QString source;
    EXPECT_EQ(failureOf([&] { text.CheckFileType(QStringLiteral("/home/me/README")); }, &source),
              RuntimeErrors::InvalidProcedureCall);
    EXPECT_FALSE(source.contains(QStringLiteral("FileType"))) << "failures reach the caller unchanged";
}

TEST(FileTypeCollection, FilterTextOfTheBuiltInTypesAndAThird)
{
    FileTypeCollection empty;
    EXPECT_EQ(empty.FileTypesAsString(), QString());

    BuiltIns built;
    EXPECT_EQ(built.types.FileTypesAsString(),
              QStringLiteral("Plain Text File(*.txt)|*.txt|Ritch Text File(*.rtf)|*.rtf"));
    FileType *log = built.types.Add(QStringLiteral(".log"), QStringLiteral("Log File"));
    EXPECT_TRUE(built.types.FileTypesAsString().endsWith(QStringLiteral("|Log File(*.log)|*.log")));
    EXPECT_EQ(log->Index(), 3);
    EXPECT_EQ(built.types.Count(), 3);
    EXPECT_EQ(built.types.Item(3), log);
    EXPECT_EQ(built.types.Item(QStringLiteral(".LOG")), log) << "keys ignore case";
}

TEST(FileTypeCollection, RemoveKeepsTheOtherIndexes)
{
    BuiltIns built;
    FileType *text = built.types.Item(1);
    FileType *rich = built.types.Item(2);
    FileType *log = built.types.Add(QStringLiteral("log"), QStringLiteral("Log File"));
    built.types.Remove(1);
    ASSERT_EQ(built.types.Count(), 2);
    EXPECT_EQ(rich->Index(), 2);
    EXPECT_EQ(log->Index(), 3);
    EXPECT_EQ(built.types.Item(1), rich);
    EXPECT_TRUE(built.types.FileTypesAsString().startsWith(QStringLiteral("Ritch Text File(*.rtf)")));
    EXPECT_EQ(text->Extention(), QStringLiteral(".txt")) << "a removed type stays usable";
    EXPECT_EQ(built.types.positionOf(text), 0);

    built.types.Remove(QStringLiteral("LOG"));
    ASSERT_EQ(built.types.Count(), 1);
    EXPECT_EQ(built.types.Item(1), rich);
}

TEST(FileTypeCollection, FailuresCarryTheirProcedure)
{
    BuiltIns built;
    built.types.Add(QStringLiteral("log"), QStringLiteral("Log File"));
    EXPECT_NO_THROW(built.types.Add(QStringLiteral(".log"), QStringLiteral("Other Log")))
        << ".log and log are two keys";

    const struct
    {
        const char *what;
        std::function<void()> call;
        qint32 number;
        const char *label;
    } rows[] = {
        {"same key twice", [&] { built.types.Add(QStringLiteral("log")); }, RuntimeErrors::KeyAlreadyAssociated,
         "FileTypeCollection.Add"},
        {"position 0", [&] { built.types.Item(0); }, RuntimeErrors::SubscriptOutOfRange,
         "FileTypeCollection.Item (Get)"},
        {"unknown key", [&] { built.types.Item(QStringLiteral(".doc")); }, RuntimeErrors::InvalidProcedureCall,
         "FileTypeCollection.Item (Get)"},
        {"remove unknown key", [&] { built.types.Remove(QStringLiteral(".doc")); }, RuntimeErrors::InvalidProcedureCall,
         "FileTypeCollection.Remove"},
    };
    for (const auto &row : rows) {
        QString source;
        EXPECT_EQ(failureOf(row.call, &source), row.number) << row.what;
        EXPECT_TRUE(source.endsWith(QStringLiteral("\r\n") + QString::fromLatin1(row.label)))
            << row.what << ": " << qPrintable(source);
    }
    EXPECT_EQ(built.types.Count(), 4) << "failed calls change nothing";
}

TEST(FileTypeCollection, FindsATypeByItsFullStopExtension)
{
    BuiltIns built;
    FileType *log = built.types.Add(QStringLiteral("log"), QStringLiteral("Log File"));
    EXPECT_EQ(built.types.findByExtension(QStringLiteral(".LOG")), log);
    EXPECT_EQ(built.types.findByExtension(QStringLiteral(".doc")), nullptr);
    delete log;
    EXPECT_EQ(built.types.Count(), 2) << "a deleted type leaves the list";
    EXPECT_EQ(built.types.findByExtension(QStringLiteral(".log")), nullptr);
}

TEST(FileDialogs, ClassicFilterBecomesQtNameFilters)
{
    EXPECT_EQ(FileDialogs::nameFilters(QStringLiteral("Plain Text File(*.txt)|*.txt|Ritch Text File(*.rtf)|*.rtf")),
              (QStringList {QStringLiteral("Plain Text File(*.txt)"), QStringLiteral("Ritch Text File(*.rtf)")}));
    EXPECT_EQ(FileDialogs::nameFilters(QStringLiteral("Logs|*.log;*.txt|Dangling")),
              QStringList {QStringLiteral("Logs (*.log *.txt)")});
    EXPECT_TRUE(FileDialogs::nameFilters(QString()).isEmpty());
}
