// Our files read by an independent reader, and files in other programs' styles read by us.

#include "RichTextView.h"

#include <TestEnvironment.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

/// Non-blank characters with their colour (0x00BBGGRR), in order.
using ColouredText = QList<QPair<QChar, qint32>>;

ColouredText colouredTextOf(RichTextView &view)
{
    ColouredText out;
    const QString text = view.Text();
    for (qint32 i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace())
            continue;
        view.setSelStart(i);
        view.setSelLength(1);
        out.append({text.at(i), view.SelColor().toInt()});
    }
    return out;
}

QString decodeEntities(const QString &html)
{
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},   {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},    {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("nbsp"), QStringLiteral(" ")},  {QStringLiteral("euro"), QStringLiteral("€")},
        {QStringLiteral("auml"), QStringLiteral("ä")},  {QStringLiteral("ouml"), QStringLiteral("ö")},
        {QStringLiteral("uuml"), QStringLiteral("ü")},  {QStringLiteral("szlig"), QStringLiteral("ß")},
        {QStringLiteral("Omega"), QStringLiteral("Ω")},
    };
    QString out;
    static const QRegularExpression entity(QStringLiteral("&(#?)(\\w+);"));
    qsizetype last = 0;
    for (auto it = entity.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        out += html.mid(last, match.capturedStart() - last);
        if (match.captured(1) == QLatin1String("#")) {
            const uint code = match.captured(2).toUInt();
            out += code > 0xFFFF ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1)
                                 : QString(QChar(char16_t(code)));
        } else {
            out += named.value(match.captured(2), QStringLiteral("?"));
        }
        last = match.capturedEnd();
    }
    return out + html.mid(last);
}

/// unrtf's HTML rendering of a file, as coloured non-blank characters.
ColouredText unrtfReading(const QString &path)
{
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), path});
    EXPECT_TRUE(unrtf.waitForFinished(20000));
    QString html = QString::fromUtf8(unrtf.readAllStandardOutput());
    const qsizetype body = html.indexOf(QLatin1String("<body>"));
    html = html.mid(body < 0 ? 0 : body + 6);
    ColouredText out;
    QList<qint32> colours {0};
    static const QRegularExpression token(QStringLiteral("<(/?)(\\w+)([^>]*)>|[^<]+"));
    static const QRegularExpression colourAttribute(QStringLiteral("color=\"#([0-9a-fA-F]{6})\""));
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        const QString tag = match.captured(2).toLower();
        if (tag == QLatin1String("font")) {
            if (match.captured(1).isEmpty()) {
                const auto colour = colourAttribute.match(match.captured(3));
                qint32 value = colours.last();
                if (colour.hasMatch()) {
                    const uint rgb = colour.captured(1).toUInt(nullptr, 16);
                    value = qint32(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
                }
                colours.append(value);
            } else if (colours.size() > 1) {
                colours.removeLast();
            }
        } else if (tag.isEmpty()) {
            const QString text = decodeEntities(match.captured(0));
            for (const QChar c : text) {
                if (!c.isSpace())
                    out.append({c, colours.last()});
            }
        }
    }
    return out;
}

} // namespace

TEST(RtfPeers, UnrtfReadsOurFilesWithTheSameTextAndColours)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/bootstrap.sh installs it)";
    RichTextView view;
    const struct
    {
        QString text;
        qint32 colour;
    } prints[] = {
        {QStringLiteral("Title {braces} and \\ backslash"), 16711680},
        {QStringLiteral("plain black"), 0},
        {QStringLiteral("note: äöüß € Ω 中文"), 32768},
        {QStringLiteral("failure"), 255},
        {QStringLiteral("custom colour"), 0x00336699},
    };
    for (const auto &print : prints) {
        view.setSelStart(view.TextLength());
        view.setSelColor(print.colour);
        view.setSelText(print.text + QStringLiteral("\r\n"));
    }
    view.setSelStart(0);
    view.setSelLength(5);
    view.setSelBold(true);
    const QString path = TestEnvironment::freshFolder() + QStringLiteral("/peer.rtf");
    view.SaveFile(path);

    const ColouredText ours = colouredTextOf(view);
    const ColouredText theirs = unrtfReading(path);
    ASSERT_GT(ours.size(), 50);
    ASSERT_EQ(theirs.size(), ours.size());
    for (qsizetype i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(theirs[i].first, ours[i].first) << "character " << i;
        EXPECT_EQ(theirs[i].second, ours[i].second) << "colour of character " << i;
    }
}

TEST(RtfPeers, FilesInOtherProgramsStylesLoadWithTextAndColours)
{
    struct Sample
    {
        const char *style;
        QByteArray rtf;
        QString text;
        QList<QPair<QString, qint32>> colours; // a piece of the text and its colour
    };
    const Sample samples[] = {
        {"WordPad",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
         "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green176\\blue80;}\r\n"
         "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
         "\\pard\\sa200\\sl276\\slmult1\\cf1\\f0\\fs22\\lang9 Red\\cf0  text\\par\r\n"
         "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720\\sa200"
         "\\sl276\\slmult1\\cf2 bullet\\cf0\\par\r\n}\r\n",
         QStringLiteral("Red text\r\nbullet\r\n"),
         {{QStringLiteral("Red"), 255}, {QStringLiteral("text"), 0}, {QStringLiteral("bullet"), 0x50B000}}},
        {"Word",
         "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2"
         "{\\*\\panose 02020603050405020304}Times New Roman;}}{\\colortbl;\\red0\\green0\\blue0;"
         "\\red0\\green0\\blue255;}{\\*\\defchp \\fs24}{\\stylesheet{\\ql \\li0\\ri0 Normal;}"
         "{\\*\\cs10 Default Paragraph Font;}}{\\*\\rsidtbl \\rsid1}{\\info{\\title x}{\\author y}}"
         "{\\*\\xmlnstbl {\\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}"
         "\\pard\\plain \\ltrpar\\ql \\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\fs24\\lang1033 {\\rtlch\\fcs1 \\af0 "
         "\\ltrch\\fcs0 \\cf2\\insrsid1 Blue}{\\rtlch \\ltrch\\fcs0 \\insrsid1  words \\u8220\\'93quoted\\u8221\\'94}"
         "{\\*\\themedata 504b0304140006000800}{\\*\\datastore 0105000002000000}\\par }",
         QStringLiteral("Blue words “quoted”\r\n"),
         {{QStringLiteral("Blue"), 16711680}, {QStringLiteral("words"), 0}}},
        {"LibreOffice",
         "{\\rtf1\\ansi\\deff3\\adeflang1025\r\n{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
         "{\\f3\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};}}\r\n{\\colortbl;\\red0\\green0"
         "\\blue0;\\red201\\green33\\blue30;}\r\n{\\stylesheet{\\s0\\snext0 Default;}}{\\*\\generator "
         "LibreOffice/7.4}{\\info{\\creatim\\yr2024}}\\deftab709\r\n{\\*\\pgdsctbl\r\n{\\pgdsc0\\pgdscuse451"
         "\\pgwsxn11906 Default;}}\r\n\\pgndec\\pard\\plain \\s0{\\cf2\\b\\rtlch \\ltrch\\loch Fehler:}"
         "{\\rtlch \\ltrch\\loch  Gr\\u246\\'f6\\u223\\'dfe}\r\n\\par }",
         QStringLiteral("Fehler: Größe\r\n"),
         {{QStringLiteral("Fehler"), 0x1E21C9}, {QStringLiteral("Gr"), 0}}},
        {"TextEdit",
         "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\r\n\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss"
         "\\fcharset0 Helvetica;}\r\n{\\colortbl;\\red255\\green255\\blue255;\\red251\\green0\\blue7;}\r\n"
         "{\\*\\expandedcolortbl;;\\cssrgb\\c100000\\c0\\c0;}\r\n\\paperw11900\\paperh16840\\margl1440\\margr1440"
         "\\vieww11520\\viewh8400\\viewkind0\r\n\\pard\\tx566\\tx1133\\pardirnatural\\partightenfactor0\r\n\r\n"
         "\\f0\\fs24 \\cf2 alert\\cf0 \\\r\nnext line \\uc0\\u8364  cost}",
         QStringLiteral("alert\r\nnext line € cost"),
         {{QStringLiteral("alert"), 0x0700FB}, {QStringLiteral("next"), 0}}},
        {"binary picture and nested groups",
         "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}{{{\\cf1 deep}}} "
         "{\\*\\shppict{\\pict\\pngblip\\bin6 {}\\}\\ }}after{\\field{\\*\\fldinst HYPERLINK \"x\"}"
         "{\\fldrslt link}} \\uc2\\u937\\'4f\\'4d end}",
         QStringLiteral("deep afterlink Ω end"),
         {{QStringLiteral("deep"), 16711680}, {QStringLiteral("after"), 0}}},
    };
    for (const Sample &sample : samples) {
        RichTextView view;
        view.setTextRTF(QString::fromLatin1(sample.rtf));
        EXPECT_EQ(view.Text(), sample.text) << sample.style;
        ASSERT_FALSE(sample.colours.isEmpty());
        for (const auto &[piece, colour] : sample.colours) {
            const qint32 at = view.Text().indexOf(piece);
            ASSERT_GE(at, 0) << sample.style << ": " << piece.toStdString();
            view.setSelStart(at);
            view.setSelLength(piece.size());
            EXPECT_EQ(view.SelColor(), colour) << sample.style << ": " << piece.toStdString();
        }
    }
}

TEST(RtfPeers, LibreOfficeReadsOurFilesWithTheSameText)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    RichTextView view;
    view.setText(QStringLiteral("first line\r\nzweite Zeile: äöü €\r\nthird"));
    view.setSelStart(0);
    view.setSelLength(5);
    view.setSelColor(255);
    const QString folder = TestEnvironment::freshFolder();
    view.SaveFile(folder + QStringLiteral("/office.rtf"));
    QProcess convert;
    convert.setWorkingDirectory(folder);
    convert.start(office,
                  {QStringLiteral("--headless"),
                   QStringLiteral("-env:UserInstallation=file://") + folder + QStringLiteral("/profile"),
                   QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                   QStringLiteral("--outdir"), folder, folder + QStringLiteral("/office.rtf")});
    ASSERT_TRUE(convert.waitForFinished(120000));
    QFile text(folder + QStringLiteral("/office.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    QString read = QString::fromUtf8(text.readAll());
    read.remove(QChar(0xFEFF));
    read.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(read.trimmed(), view.Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
