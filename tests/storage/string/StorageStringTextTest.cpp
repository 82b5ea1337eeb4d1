#include "KSStorageString.h"
#include "StorageStringFile.h"
#include "StorageStringTestSupport.h"

#include <gtest/gtest.h>

using namespace StorageStringTest;

namespace {

QList<qint32> positionsOf(const QList<KSSSLookForResults> &results, qsizetype index)
{
    return index < results.size() ? results[index].Positions : QList<qint32>();
}

} // namespace

TEST(StorageStringLines, CursorAndLineArithmetic)
{
    KSStorageString store;
    EXPECT_EQ(store.Cursor(), 0);
    EXPECT_EQ(store.LineCount(), 0);
    EXPECT_EQ(store.LineNumber(), 0);

    store.setValue(QStringLiteral("ab\r\ncd"));
    EXPECT_EQ(store.LineCount(), 2);
    struct Row
    {
        qint32 cursor;
        qint32 clamped;
        qint32 line;
    };
    const QList<Row> rows = {{-5, 1, 1}, {1, 1, 1}, {3, 3, 1}, {4, 4, 2}, {6, 6, 2}, {99, 6, 2}};
    ASSERT_EQ(rows.size(), 6);
    for (const Row &row : rows) {
        store.setCursor(row.cursor);
        EXPECT_EQ(store.Cursor(), row.clamped) << row.cursor;
        EXPECT_EQ(store.LineNumber(), row.line) << row.cursor;
    }

    store.setLineNumber(2);
    EXPECT_EQ(store.Cursor(), 4);
    EXPECT_EQ(store.FetchLine(), QStringLiteral("cd"));
    store.setLineNumber(1);
    EXPECT_EQ(store.Cursor(), 1);
    EXPECT_EQ(store.FetchLine(), QStringLiteral("ab"));
    EXPECT_EQ(store.FetchLine(2), QStringLiteral("cd"));

    for (qint32 bad : {0, -1, 3}) {
        const auto error = failureOf([&] { store.setLineNumber(bad); });
        ASSERT_TRUE(error.has_value()) << bad;
        EXPECT_EQ(error->number(), LedgerixErrors::InvalidLineNumber) << bad;
        EXPECT_TRUE(error->source().endsWith(QStringLiteral("KSStorageString.LineNumber (Let)")));
    }
    EXPECT_EQ(errorNumberOf([&] { store.FetchLine(3); }), LedgerixErrors::InvalidLineNumber);

    // A text ending in a line break has an empty last line.
    store.setValue(QStringLiteral("x\r\n"));
    EXPECT_EQ(store.LineCount(), 2);
    EXPECT_EQ(store.FetchLine(2), QString());

    ErrorsOff off;
    EXPECT_EQ(store.FetchLine(7), QString());
}

TEST(StorageStringLines, OnlyCrLfBreaksALine)
{
    // A lone CR or LF, and either one beside a CR LF, stays inside its line.
    KSStorageString store;
    store.setValue(QStringLiteral("a\rb\nc\r\r\nd\n\re"));
    EXPECT_EQ(store.LineCount(), 2);
    EXPECT_EQ(store.FetchLine(1), QStringLiteral("a\rb\nc\r"));
    EXPECT_EQ(store.FetchLine(2), QStringLiteral("d\n\re"));
    for (const auto &[cursor, line] : {std::pair {4, 1}, {7, 1}, {8, 2}, {12, 2}}) {
        store.setCursor(cursor);
        EXPECT_EQ(store.LineNumber(), line) << cursor;
    }
    store.setLineNumber(2);
    EXPECT_EQ(store.Cursor(), 8);

    store.setValue(QStringLiteral("\n\r\n\r"));
    EXPECT_EQ(store.LineCount(), 2);
    EXPECT_EQ(store.FetchLine(1), QStringLiteral("\n"));
    EXPECT_EQ(store.FetchLine(2), QStringLiteral("\r"));
}

TEST(StorageStringLines, CursorShrinksWithThePage)
{
    KSStorageString store;
    store.setValue(QStringLiteral("abcdef"));
    store.setCursor(6);
    store.setValue(QStringLiteral("ab"));
    EXPECT_EQ(store.Cursor(), 2);
    store.setValue(QString());
    EXPECT_EQ(store.Cursor(), 0);
}

TEST(StorageStringSearch, LookForFindsEveryNonOverlappingHit)
{
    KSStorageString store;
    store.setValue(QStringLiteral("x 'todo a\r\n'TODO b"));
    const auto results = store.LookFor(QStringList {"'To Do", "'ToDo"}, false, false);
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].Text, QStringLiteral("'TODO"));
    EXPECT_EQ(results[0].Hits, 2);
    EXPECT_EQ(results[0].Positions, (QList<qint32> {3, 12}));

    store.setValue(QStringLiteral("aaaa"));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("aa")), 0), (QList<qint32> {1, 3}));
    // Near misses on the first character, and a first character that ends the page.
    store.setValue(QStringLiteral("aaab-abab a"));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("ab"), true, false), 0), (QList<qint32> {3, 6, 8}));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("aab"), false, false), 0), (QList<qint32> {2}));
    // Case-sensitive searches keep the text as given and miss other cases.
    store.setValue(QStringLiteral("Ab ab AB"));
    const auto exact = store.LookFor(QStringList {"ab", "", "zz", "AB"}, true, false);
    ASSERT_EQ(exact.size(), 2);
    EXPECT_EQ(exact[0].Positions, (QList<qint32> {4}));
    EXPECT_EQ(exact[1].Text, QStringLiteral("AB"));
    // From the cursor, hits before it are not reported; the cursor stays.
    store.setCursor(2);
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("ab"), false), 0), (QList<qint32> {4, 7}));
    EXPECT_EQ(store.Cursor(), 2);
    EXPECT_TRUE(store.LookFor(QStringLiteral("none")).isEmpty());
}

TEST(StorageStringSearch, LookForIgnoringCaseFoldsLikeQt)
{
    // Plain ASCII: only A to Z fold, not their neighbours @ [ ` {.
    KSStorageString store;
    store.setValue(QStringLiteral("@[`{ `{@[ AZ az"));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("@["), false), 0), (QList<qint32> {1, 8}));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("`{"), false), 0), (QList<qint32> {3, 6}));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("az"), false), 0), (QList<qint32> {11, 14}));

    // Any other character folds as Qt folds it: the long s and the Kelvin
    // sign fold to ASCII letters, accented capitals to small ones.
    store.setValue(QStringLiteral("\u017Fub SUB \u00C9T\u00C9 \u212Aey"));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("sub"), false), 0), (QList<qint32> {1, 5}));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("\u00E9t\u00E9"), false), 0), (QList<qint32> {9}));
    EXPECT_EQ(positionsOf(store.LookFor(QStringLiteral("KEY"), false), 0), (QList<qint32> {13}));
}

TEST(StorageStringSearch, FindDownAndUp)
{
    KSStorageString store;
    store.setValue(QStringLiteral("axbx"));
    store.setCursor(1);
    EXPECT_EQ(store.Find(QStringLiteral("x")), 2);
    EXPECT_EQ(store.Cursor(), 2);
    EXPECT_EQ(store.Find(), 4);
    EXPECT_EQ(store.Find(), 0);
    EXPECT_EQ(store.Cursor(), 4);

    // Upward: the nearest occurrence ending at or before the cursor, then find next goes on upwards.
    store.setValue(QStringLiteral("abXab.ab"));
    store.setCursor(8);
    EXPECT_EQ(store.Find(QStringLiteral("ab"), true, true, false, ledgerix_SearchUp), 7);
    EXPECT_EQ(store.Find(QString(), true, true, false, ledgerix_SearchUp), 4);
    EXPECT_EQ(store.Find(QString(), true, true, false, ledgerix_SearchUp), 1);
    EXPECT_EQ(store.Find(QString(), true, true, false, ledgerix_SearchUp), 0);
    EXPECT_EQ(store.Cursor(), 1);

    store.setCursor(8);
    EXPECT_EQ(store.Find(QStringLiteral("AB"), true, true), 0);
    EXPECT_EQ(store.Find(QStringLiteral("AB"), false, false), 1);

    KSStorageString fresh;
    EXPECT_EQ(fresh.Find(), 0);
}

TEST(StorageStringSearch, ReplaceBothDirections)
{
    struct Row
    {
        const char *name;
        QString text;
        qint32 cursor;
        bool all;
        SearchDirectionEnum direction;
        QString replaced;
        qint32 count;
        qint32 cursorAfter;
    };
    const QList<Row> rows = {
        {"down one", "abcb", 1, false, ledgerix_SearchDown, "aXYcb", 1, 4},
        {"down all", "abcb", 1, true, ledgerix_SearchDown, "aXYcXY", 2, 6},
        {"down from cursor", "abcb", 3, true, ledgerix_SearchDown, "abcXY", 1, 5},
        {"up one", "abcb", 4, false, ledgerix_SearchUp, "abcXY", 1, 3},
        {"up all", "abcb", 4, true, ledgerix_SearchUp, "aXYcXY", 2, 1},
        {"up before cursor", "abcb", 3, true, ledgerix_SearchUp, "aXYcb", 1, 1},
        {"none", "acd", 1, true, ledgerix_SearchDown, "acd", 0, 1},
    };
    ASSERT_EQ(rows.size(), 7);
    for (const Row &row : rows) {
        KSStorageString store;
        store.setValue(row.text);
        store.setCursor(row.cursor);
        EXPECT_EQ(store.Replace(QStringLiteral("b"), QStringLiteral("XY"), true, true, row.all, false, row.direction),
                  row.count)
            << row.name;
        EXPECT_EQ(store.Value().toString(), row.replaced) << row.name;
        EXPECT_EQ(store.Cursor(), row.cursorAfter) << row.name;
    }

    // Replacing a hit that Find just found upwards replaces that very hit.
    KSStorageString found;
    found.setValue(QStringLiteral("ab ab ab"));
    found.setCursor(8);
    EXPECT_EQ(found.Find(QStringLiteral("ab"), true, true, false, ledgerix_SearchUp), 7);
    EXPECT_EQ(found.Replace(QString(), QStringLiteral("-"), true, true, false, false, ledgerix_SearchUp), 1);
    EXPECT_EQ(found.Value().toString(), QStringLiteral("ab ab -"));

    // Case-insensitive, overlapping candidates, and the last extraction as source.
    KSStorageString other;
    other.setValue(QStringLiteral("aAaA"));
    EXPECT_EQ(other.Replace(QStringLiteral("aa"), QStringLiteral("b"), false, false, true), 2);
    EXPECT_EQ(other.Value().toString(), QStringLiteral("bb"));
    other.setValue(QStringLiteral("[x-x]"));
    EXPECT_EQ(other.ExtractText(QStringLiteral("["), QStringLiteral("]")), QStringLiteral("x-x"));
    EXPECT_EQ(other.Replace(QStringLiteral("x"), QStringLiteral("y"), true, true, true, true), 2);
    EXPECT_EQ(other.LastExtraction(), QStringLiteral("y-y"));
    EXPECT_EQ(other.Value().toString(), QStringLiteral("[x-x]"));
}

TEST(StorageStringText, ExtractAndInsert)
{
    KSStorageString store;
    store.setValue(QStringLiteral("abcdef"));
    EXPECT_EQ(store.ExtractText(2, 4), QStringLiteral("bc"));
    EXPECT_EQ(store.LastExtraction(), QStringLiteral("bc"));
    EXPECT_EQ(store.Cursor(), 2);
    EXPECT_EQ(store.ExtractText(0, 4), QString());
    EXPECT_EQ(store.LastExtraction(), QStringLiteral("bc"));

    struct Bad
    {
        QVariant first;
        QVariant second;
    };
    const QList<Bad> bad = {{4, 2}, {7, 7}, {2, 9}, {-1, 3}, {QStringLiteral("c"), QStringLiteral("zz")}};
    ASSERT_EQ(bad.size(), 5);
    for (const Bad &row : bad)
        EXPECT_EQ(errorNumberOf([&] { store.ExtractText(row.first, row.second); }),
                  LedgerixErrors::ParameterOutOfBounds)
            << qPrintable(row.first.toString()) << " " << qPrintable(row.second.toString());
    EXPECT_EQ(errorNumberOf([&] { store.ExtractText(QVariant(QStringList {"a"}), 2); }), 13);

    // Two text points give everything between them, also when they touch.
    store.setValue(QStringLiteral("abc[xyz]def[]"));
    EXPECT_EQ(store.ExtractText(QStringLiteral("["), QStringLiteral("]")), QStringLiteral("xyz"));
    EXPECT_EQ(store.Cursor(), 5);
    EXPECT_EQ(store.ExtractText(QStringLiteral("["), QStringLiteral("]"), true), QString());
    EXPECT_EQ(store.Cursor(), 13);

    KSStorageString insert;
    insert.InsertText(QStringLiteral("cd"));
    insert.InsertText(QStringLiteral("ab"), 1);
    insert.InsertText(QStringLiteral("ef"), 99);
    EXPECT_EQ(insert.Value().toString(), QStringLiteral("abcdef"));
    insert.setCursor(3);
    insert.InsertText(QStringLiteral("-"));
    EXPECT_EQ(insert.Value().toString(), QStringLiteral("ab-cdef"));
    EXPECT_EQ(insert.Cursor(), 3);
    EXPECT_EQ(errorNumberOf([&] { insert.InsertText(QStringLiteral("x"), -2); }), LedgerixErrors::ParameterOutOfBounds);
}

TEST(StorageStringScrambling, ArithmeticAndReversal)
{
    KSStorageString store;
    store.setValue(QStringLiteral("A@B"));
    EXPECT_EQ(errorNumberOf([&] { store.setEncrypted(true); }), LedgerixErrors::EncryptionKeyNotSet);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("A@B"));

    store.setEncryptionKey(QStringLiteral("A"));
    store.setEncrypted(true);
    const QString one = store.Value().toString();
    ASSERT_EQ(one.size(), 3);
    EXPECT_EQ(one[0].unicode(), 0);
    EXPECT_EQ(one[1].unicode(), 255);
    EXPECT_EQ(one[2].unicode(), 1);
    store.setEncrypted(false);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("A@B"));

    // A longer key starts at the page's last character and wraps round.
    store.setValue(QStringLiteral("aaaa"));
    store.setEncryptionKey(QString(QChar(1)) + QChar(2));
    store.setEncrypted(true);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("_`_`"));

    // Scrambling twice needs unscrambling twice; anything round-trips, surrogate pairs stay pairs.
    const QString mixed = QStringLiteral("Grüße \u20ac \u4e2d\U0001F600 \r\n") + QChar(0) + QChar(0xFF);
    store.setValue(mixed);
    store.setEncryptionKey(QStringLiteral("k\u20ac\u4e2d"));
    store.setEncrypted(true);
    store.setEncrypted(true);
    const QString twice = store.Value().toString();
    EXPECT_NE(twice, mixed);
    // Code page characters stay in the code page, the others in their own block.
    ASSERT_EQ(twice.size(), mixed.size());
    for (qsizetype i = 0; i < twice.size(); ++i) {
        const bool inCodePage = StorageStringFile::windows1252Code(mixed[i]).has_value();
        EXPECT_EQ(StorageStringFile::windows1252Code(twice[i]).has_value(), inCodePage) << i;
        if (!inCodePage)
            EXPECT_EQ(twice[i].unicode() & 0xFF00, mixed[i].unicode() & 0xFF00) << i;
    }
    store.setEncrypted(false);
    store.setEncrypted(false);
    EXPECT_EQ(store.Value().toString(), mixed);

    // Page characters count by their Windows-1252 code as the key's do, and the
    // new code is the code page's character: the euro sign (0x80) less itself is
    // 0, a right single quote (0x92) less 1 is a left one (0x91), and "A" (0x41)
    // less "À" (0xC0) wraps round to 0x81, the undefined code's control.
    store.setValue(QStringLiteral("\u20ac"));
    store.setEncryptionKey(QStringLiteral("\u20ac"));
    store.setEncrypted(true);
    EXPECT_EQ(store.Value().toString(), QString(QChar(0)));
    store.setEncrypted(false);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("\u20ac"));
    store.setValue(QStringLiteral("\u2019"));
    store.setEncryptionKey(QString(QChar(1)));
    store.setEncrypted(true);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("\u2018"));
    store.setValue(QStringLiteral("A"));
    store.setEncryptionKey(QStringLiteral("\u00c0"));
    store.setEncrypted(true);
    EXPECT_EQ(store.Value().toString(), QString(QChar(0x81)));
    store.setEncrypted(false);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("A"));

    // Every character of the blocks that lend characters to the code page comes
    // back whole, whatever the key.
    QString blocks;
    for (char16_t high : {0x00, 0x01, 0x02, 0x20, 0x21})
        for (int low = 0; low < 256; ++low)
            blocks.append(QChar(char16_t(high << 8 | low)));
    ASSERT_EQ(blocks.size(), 5 * 256);
    store.setValue(blocks);
    store.setEncryptionKey(QStringLiteral("\u20ac\u2122z\u0101"));
    store.setEncrypted(true);
    const QString scrambledBlocks = store.Value().toString();
    EXPECT_NE(scrambledBlocks, blocks);
    store.setEncrypted(false);
    EXPECT_EQ(store.Value().toString(), blocks);

    KSStorageString empty;
    empty.setEncryptionKey(QStringLiteral("k"));
    empty.setEncrypted(true);
    EXPECT_EQ(empty.Value().toString(), QString());
}
