// Malformed RTF loads what can be read and never crashes, hangs or recurses.

#include "RtfReader.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

struct Loaded
{
    QString text;
    RtfReader::Result result;
    qint64 milliseconds = 0;
};

Loaded load(const QByteArray &rtf)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QElapsedTimer timer;
    timer.start();
    Loaded loaded;
    loaded.result = RtfReader::read(rtf, cursor, {});
    loaded.milliseconds = timer.elapsed();
    loaded.text = document.toPlainText();
    return loaded;
}

QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

TEST(RtfMalformed, LoadsWhatCanBeReadWithinBounds)
{
    const struct
    {
        const char *name;
        QByteArray rtf;
        QString text; // what must be there (a prefix or the whole, see exact)
        bool exact;
    } rows[] = {
        {"empty file", QByteArray(), QString(), true},
        {"only an opening brace (not RTF: taken as text)", "{", QStringLiteral("{"), true},
        {"truncated header", "{\\rtf1\\ansi{\\fonttbl{\\f0 Cour", QString(), true},
        {"truncated in a word", "{\\rtf1 abc\\pa", QStringLiteral("abc"), true},
        {"truncated escape", "{\\rtf1 abc\\'4", QStringLiteral("abc") + QChar(4), true},
        {"backslash at the end", "{\\rtf1 abc\\", QStringLiteral("abc"), true},
        {"stray closing braces", "{\\rtf1 a}}}}}} b", QStringLiteral("a"), true},
        {"unclosed groups", "{\\rtf1 a{\\b b{\\i c", QStringLiteral("abc"), true},
        {"100,000 nested groups", "{\\rtf1 " + repeated("{", 100000) + "deep" + repeated("}", 100000) + " after}",
         QStringLiteral("deep after"), true},
        {"100,000 unclosed groups", "{\\rtf1 " + repeated("{x", 100000), QString(100000, QLatin1Char('x')), true},
        {"\\bin past the end", "{\\rtf1 before\\bin999999999 abc}", QStringLiteral("before"), true},
        {"negative \\bin", "{\\rtf1 a\\bin-5 b}", QStringLiteral("ab"), true},
        {"huge numbers",
         "{\\rtf1{\\colortbl;\\red99999999999999999999\\green-7\\blue3;}\\cf1\\fs99999999999999"
         "\\fi-99999999999\\up99999999999\\tx99999999999 x\\u99999999999 y}",
         QStringLiteral("x"), false},
        {"colour and font out of range", "{\\rtf1\\cf999\\f-5\\fs0 text}", QStringLiteral("text"), true},
        {"\\uc out of range", "{\\rtf1\\uc99999\\u65 ABCD}", QStringLiteral("A"), true},
        {"very long control word", "{\\rtf1 " + repeated("\\", 1) + repeated("a", 100000) + " ok}",
         QStringLiteral("ok"), true},
        {"very many paragraphs", "{\\rtf1 " + repeated("\\par", 20000) + "}", QString(20000, QLatin1Char('\n')), true},
        {"not RTF at all", "plain text\nline two", QStringLiteral("plain text\nline two"), true},
    };
    for (const auto &row : rows) {
        const Loaded loaded = load(row.rtf);
        if (row.exact)
            EXPECT_EQ(loaded.text, row.text) << row.name;
        else
            EXPECT_TRUE(loaded.text.startsWith(row.text)) << row.name << ": " << loaded.text.toStdString();
        EXPECT_LT(loaded.milliseconds, 3000) << row.name;
    }
}

TEST(RtfMalformed, BinaryGarbageNeverCrashes)
{
    QRandomGenerator random(20261207);
    constexpr int samples = 300;
    int loaded = 0;
    for (int i = 0; i < samples; ++i) {
        QByteArray garbage(int(random.bounded(1, 4000)), Qt::Uninitialized);
        for (char &c : garbage)
            c = char(random.bounded(256));
        if (i % 2 == 0)
            garbage.prepend("{\\rtf1 ");
        load(garbage);
        ++loaded;
    }
    EXPECT_EQ(loaded, samples);
}
