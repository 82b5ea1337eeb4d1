#include "IniText.h"
#include "PrivateProfile.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString fileWith(const QByteArray &content, const QString &name = QStringLiteral("test.ini"))
{
    const QString path = TestEnvironment::freshFolder(QStringLiteral("profile")) + u'/' + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct ReadCase
{
    const char *what;
    QByteArray content;
    const char *section;
    const char *key;
    const char *defaultValue;
    const char *expected;
};

} // namespace

TEST(PrivateProfile, readsValuesAsAWindowsReaderWould)
{
    const QByteArray sample = "[Section1]\nKey=value\n";
    const QList<ReadCase> cases = {
        {"names ignore case", sample, "SECTION1", "kEy", "d", "value"},
        {"names are trimmed", "[ section1 ]\n  key  =  spaced value  \n", "Section1", " KEY ", "d", "spaced value"},
        {"double quotes dropped", "[s]\nk=\"  quoted \"\n", "s", "k", "d", "  quoted "},
        {"single quotes dropped", "[s]\nk='x'\n", "s", "k", "d", "x"},
        {"unmatched quotes kept", "[s]\nk=\"x'\n", "s", "k", "d", "\"x'"},
        {"lone quote kept", "[s]\nk=\"\n", "s", "k", "d", "\""},
        {"missing key gives default", sample, "Section1", "other", "fallback", "fallback"},
        {"missing section gives default", sample, "none", "Key", "fallback", "fallback"},
        {"default loses trailing blanks", sample, "none", "Key", "  fall back  ", "  fall back"},
        {"empty value is found", "[s]\nk=\n", "s", "k", "d", ""},
        {"CR LF lines", "[a]\r\nx=1\r\n[b]\r\nx=2\r\n", "b", "x", "d", "2"},
        {"CR-only lines", "[a]\rx=1\r[b]\rx=2\r", "b", "x", "d", "2"},
        {"mixed line ends", "[a]\rx=1\n[b]\r\nx=2", "b", "x", "d", "2"},
        {"no final line break", "[a]\nx=last", "a", "x", "d", "last"},
        {"line without = is no key", "[s]\nlonely\nk=v\n", "s", "lonely", "d", "d"},
        {"first = splits", "[s]\nk=a=b\n", "s", "k", "d", "a=b"},
        {"header without closing bracket", "[open\nk=v\n", "open", "k", "d", "v"},
        {"keys before any section belong to none", "k=v\n[s]\n", "s", "k", "d", "d"},
        {"first of duplicate keys wins", "[s]\nk=1\nk=2\n", "s", "k", "d", "1"},
        {"later duplicate section is searched", "[s]\na=1\n[t]\n[S]\nb=2\n", "s", "b", "d", "2"},
        {"binary bytes around", QByteArray("\x01\xff\x00\n[s]\n\xfe\x00=z\nk=v\n", 18), "s", "k", "d", "v"},
        {"key of another section not seen", "[a]\nk=1\n[b]\nj=2\n", "b", "k", "d", "d"},
        {"bracket inside a value is no header", "[a]\nk=[b]\nj=x [b]\n[b]\nk=2\n", "a", "j", "d", "x [b]"},
        {"indented header", "[a]\nk=1\n \t[b]\nk=2\n", "b", "k", "d", "2"},
        {"name ends at the last bracket", "[a]b] ; note\nk=1\n", "a]b", "k", "d", "1"},
    };
    ASSERT_EQ(cases.size(), 25);
    for (const ReadCase &c : cases) {
        const QString path = fileWith(c.content);
        EXPECT_EQ(PrivateProfile::readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                             QString::fromUtf8(c.defaultValue), path),
                  QString::fromUtf8(c.expected))
            << c.what;
    }
    EXPECT_EQ(PrivateProfile::readString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d"),
                                         TestEnvironment::root() + QStringLiteral("/no/such.ini")),
              QStringLiteral("d"));
    EXPECT_FALSE(PrivateProfile::lookup(QStringLiteral("s"), QStringLiteral("k"), QString()).has_value());
}

TEST(PrivateProfile, listsSectionsAndKeysWholeAndOnce)
{
    const QString path = fileWith("[ section1 ]\nb=1\nnot a key\n A =2\n[Other]\n[SECTION1]\nB=3\nc=4\n[]\n");
    EXPECT_EQ(PrivateProfile::sectionNames(path),
              QStringList({QStringLiteral("section1"), QStringLiteral("Other"), QString()}));
    EXPECT_EQ(PrivateProfile::keyNames(QStringLiteral("Section1"), path),
              QStringList({QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")}));
    EXPECT_TRUE(PrivateProfile::keyNames(QStringLiteral("other"), path).isEmpty());
    EXPECT_TRUE(PrivateProfile::keyNames(QStringLiteral("missing"), path).isEmpty());
    EXPECT_TRUE(PrivateProfile::sectionNames(path + QStringLiteral(".none")).isEmpty());

    // Lists far beyond the old 1,024-character buffer come back whole.
    QByteArray many;
    for (int i = 0; i < 600; ++i)
        many += "[Section number " + QByteArray::number(i) + "]\nkey" + QByteArray::number(i) + "=v\n";
    const QString big = fileWith(many);
    const QStringList sections = PrivateProfile::sectionNames(big);
    ASSERT_EQ(sections.size(), 600);
    EXPECT_EQ(sections.last(), QStringLiteral("Section number 599"));
}

namespace {

struct WriteCase
{
    const char *what;
    QByteArray before;
    std::function<bool(const QString &path)> write;
    QByteArray after;
};

bool put(const QString &path, const char *section, const char *key, const QString &value)
{
    return PrivateProfile::writeString(QString::fromUtf8(section), QString::fromUtf8(key), value, path);
}

} // namespace

TEST(PrivateProfile, writesTouchOnlyWhatTheyChange)
{
    const QList<WriteCase> cases = {
        {"new section appended", "[a]\nx=1\n", [](auto p) { return put(p, "b", "y", "2"); }, "[a]\nx=1\n[b]\ny=2\n"},
        {"new key after the section's last line", "[a]\nx=1\n\n[b]\n", [](auto p) { return put(p, "A", "y", "2"); },
         "[a]\nx=1\ny=2\n\n[b]\n"},
        {"replaced in place, spelling as given", "; note\n[a]\n  X = 1 \nz=3\n",
         [](auto p) { return put(p, "a", "x", "9"); }, "; note\n[a]\nx=9\nz=3\n"},
        {"key written with its trailing blank", "",
         [](auto p) { return put(p, "e", "CalStack ", QStringLiteral("===")); }, "[e]\nCalStack ====\n"},
        {"empty value writes key=", "[a]\n", [](auto p) { return put(p, "a", "k", QString()); }, "[a]\nk=\n"},
        {"line breaks in a value written raw", "[a]\n",
         [](auto p) { return put(p, "a", "k", QStringLiteral("one\r\ntwo\r\n")); }, "[a]\nk=one\r\ntwo\r\n\n"},
        {"the file's CR LF used for new lines", "[a]\r\nx=1\r\n", [](auto p) { return put(p, "b", "y", "2"); },
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"no final line break", "[a]\nx=1", [](auto p) { return put(p, "a", "y", "2"); }, "[a]\nx=1\ny=2\n"},
        {"added lines end like the line before", "[a]\rx=1\n\n[b]\r", [](auto p) { return put(p, "a", "y", "2"); },
         "[a]\rx=1\ny=2\n\n[b]\r"},
        {"header at the very end", "[a]", [](auto p) { return put(p, "a", "y", "2"); }, "[a]\ny=2\n"},
        {"garbage kept byte for byte", QByteArray("\x01\xff\n[a]\nno equals\n\xfe\n", 19),
         [](auto p) { return put(p, "a", "k", "v"); }, QByteArray("\x01\xff\n[a]\nno equals\n\xfe\nk=v\n", 23)},
        {"deleting a missing key changes nothing", "[a]\nx=1\n",
         [](auto p) { return PrivateProfile::deleteKey("a", "nope", p); }, "[a]\nx=1\n"},
        {"deleting the last key keeps the header", "[a]\nx=1\n[b]\n",
         [](auto p) { return PrivateProfile::deleteKey("A", " X", p); }, "[a]\n[b]\n"},
        {"deleting a section takes its lines", "[a]\nx=1\njunk\n[b]\ny=2\n[A]\nz=3\n",
         [](auto p) { return PrivateProfile::deleteSection("a", p); }, "[b]\ny=2\n"},
        {"several keys in one write", "[a]\nk1=old\n",
         [](auto p) {
             return PrivateProfile::writeStrings("a", {{"k1", "1"}, {"k2", "2"}, {"k3", "3"}}, p);
         },
         "[a]\nk1=1\nk2=2\nk3=3\n"},
    };
    ASSERT_EQ(cases.size(), 15);
    for (const WriteCase &c : cases) {
        const QString path = fileWith(c.before);
        EXPECT_TRUE(c.write(path)) << c.what;
        EXPECT_EQ(contentOf(path), c.after) << c.what;
    }
}

TEST(PrivateProfile, writeCreatesTheFileAndDeletesOfMissingFilesSucceed)
{
    const QString path = TestEnvironment::freshFolder() + QStringLiteral("/new.ini");
    EXPECT_TRUE(PrivateProfile::deleteKey(QStringLiteral("a"), QStringLiteral("k"), path));
    EXPECT_TRUE(PrivateProfile::deleteSection(QStringLiteral("a"), path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"), path));
    EXPECT_EQ(contentOf(path), QByteArray("[a]\nk=v\n"));
}

TEST(PrivateProfile, failedWritesSayWhyAndLeaveTheFileAsItWas)
{
    // A parent that is a regular file stops root too.
    const QString folder = TestEnvironment::freshFolder();
    QFile blocker(folder + QStringLiteral("/plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    EXPECT_FALSE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"),
                                             folder + QStringLiteral("/plain/x.ini"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("plain/x.ini"))) << error.toStdString();
    EXPECT_FALSE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"),
                                             folder + QStringLiteral("/missing/x.ini")));
    EXPECT_FALSE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"), QString()));

    // A FIFO in the file's place is neither waited on nor written.
    const QString fifo = folder + QStringLiteral("/fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(PrivateProfile::readString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("d"), fifo),
              QStringLiteral("d"));
    EXPECT_FALSE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"), fifo));
    ASSERT_TRUE(QFile::remove(fifo));

    // A folder in the file's place: nothing written, nothing left behind.
    QDir(folder).mkdir(QStringLiteral("dir.ini"));
    EXPECT_FALSE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"),
                                             folder + QStringLiteral("/dir.ini")));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("dir.ini"), QStringLiteral("plain")}));
}

TEST(PrivateProfile, replacementKeepsPermissionsAndFollowsLinks)
{
    const QString path = fileWith("[a]\nx=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString link = QFileInfo(path).absolutePath() + QStringLiteral("/link.ini");
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_TRUE(PrivateProfile::writeString(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("2"), link));
    struct stat st
    {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(link).constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(contentOf(path), QByteArray("[a]\nx=2\n"));
}

TEST(PrivateProfile, bigFilesAndValuesComeBackWhole)
{
    QByteArray big;
    big.reserve(50 * 1024 * 1024 + 1024);
    QByteArray filler(1000, 'x');
    filler += '\n';
    big += "[first]\nkey=1\n[junk]\n";
    while (big.size() < 50 * 1024 * 1024)
        big += filler;
    big += "[last]\nkey=found\n";
    const QString path = fileWith(big);
    EXPECT_EQ(PrivateProfile::readString(QStringLiteral("last"), QStringLiteral("key"), QString(), path),
              QStringLiteral("found"));

    const QString value(1024 * 1024, u'v');
    ASSERT_TRUE(PrivateProfile::writeString(QStringLiteral("first"), QStringLiteral("huge"), value, path));
    EXPECT_EQ(PrivateProfile::readString(QStringLiteral("first"), QStringLiteral("huge"), QString(), path), value);
    EXPECT_EQ(QFileInfo(path).size(), big.size() + qint64(value.size()) + 6);
    EXPECT_EQ(PrivateProfile::readString(QStringLiteral("last"), QStringLiteral("key"), QString(), path),
              QStringLiteral("found"));
}

TEST(PrivateProfile, twoProcessesWritingOneFileLoseNothing)
{
    const QString path = fileWith("[shared]\nkeep=me\n");
    const int perWriter = 150;
    const QStringList failures = TestEnvironment::runTogether(
        QStringLiteral(PROFILE_WRITER),
        {{path, QStringLiteral("shared"), QStringLiteral("first"), QString::number(perWriter)},
         {path, QStringLiteral("SHARED"), QStringLiteral("second"), QString::number(perWriter)}});
    ASSERT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

    const QStringList keys = PrivateProfile::keyNames(QStringLiteral("shared"), path);
    ASSERT_EQ(keys.size(), 1 + 2 * perWriter);
    for (int n = 0; n < perWriter; ++n) {
        EXPECT_EQ(PrivateProfile::readString(QStringLiteral("shared"), QStringLiteral("first%1").arg(n), {}, path),
                  QString::number(n));
        EXPECT_EQ(PrivateProfile::readString(QStringLiteral("shared"), QStringLiteral("second%1").arg(n), {}, path),
                  QString::number(n));
    }
    EXPECT_EQ(PrivateProfile::sectionNames(path), QStringList {QStringLiteral("shared")});
    // No temporary file is left beside the original.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

namespace {

/// Every (section, key) a reader finds in a text, with its value.
QMap<QPair<QByteArray, QByteArray>, QByteArray> everythingIn(const QByteArray &text)
{
    QMap<QPair<QByteArray, QByteArray>, QByteArray> found;
    for (const QByteArray &section : IniText::sections(text)) {
        for (const QByteArray &key : IniText::keys(text, section))
            found.insert({section, key}, IniText::find(text, section, key).value_or("<lost>"));
    }
    return found;
}

} // namespace

TEST(PrivateProfile, editsOfGarbageNeverDisturbOtherKeys)
{
    // Files built from the pieces that trip parsers up; every edit must leave
    // every other key readable with its old value.
    const QList<QByteArray> pieces = {
        "[",    "]", "=",  "a",     "A",     "b",     " ",        "\t", "\r", "\n", "\r\n", "\n\n", QByteArray(1, '\0'),
        "\xff", "'", "\"", "[a]\n", "[b]\r", "k=v\n", "K = w\r\n"};
    const QList<QByteArray> names = {"a", "B", "k", "new"};
    quint32 seed = 12345;
    auto next = [&seed](quint32 bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray text;
        const int length = int(next(30));
        for (int i = 0; i < length; ++i)
            text += pieces[next(pieces.size())];
        const QByteArray section = names[next(names.size())];
        const QByteArray key = names[next(names.size())];
        const auto before = everythingIn(text);
        const quint32 operation = next(4);
        const bool deleting = operation < 2;
        const bool wholeSection = operation == 1;
        const QByteArray after = operation == 0 ? IniText::withoutKey(text, section, key).value_or(text)
            : wholeSection                      ? IniText::withoutSection(text, section).value_or(text)
                                                : IniText::withEntries(text, section, {{key, "fresh"}});
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (IniText::namesEqual(it.key().first, section)
                && (wholeSection || IniText::namesEqual(it.key().second, key)))
                continue;
            ++checked;
            EXPECT_EQ(IniText::find(after, it.key().first, it.key().second), std::optional<QByteArray>(it.value()))
                << "text: " << text.toPercentEncoding().constData();
        }
        EXPECT_EQ(IniText::find(after, section, key), deleting ? std::nullopt : std::optional<QByteArray>("fresh"))
            << "text: " << text.toPercentEncoding().constData();
    }
    EXPECT_GT(checked, 1000);
}
