#include "RichTextView.h"

#include <AutomationError.h>
#include "RtfReader.h"
#include "RtfWriter.h"

#include <TestEnvironment.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <iostream>

#include "QtPrinters.h"

namespace {

/// Every observable property of every character and paragraph of a view,
/// one line per run, so two views compare with one string.
QString describe(RichTextView &view)
{
    QString out;
    const qint32 length = view.TextLength();
    for (qint32 i = 0; i < length; ++i) {
        view.setSelStart(i);
        view.setSelLength(1);
        const QString ch = view.SelText();
        if (ch == QStringLiteral("\r"))
            continue;
        QStringList values;
        for (auto get : {&RichTextView::SelColor, &RichTextView::SelBold, &RichTextView::SelItalic,
                         &RichTextView::SelUnderline, &RichTextView::SelStrikeThru, &RichTextView::SelProtected,
                         &RichTextView::SelCharOffset, &RichTextView::SelFontName, &RichTextView::SelFontSize,
                         &RichTextView::SelAlignment, &RichTextView::SelBullet, &RichTextView::SelIndent,
                         &RichTextView::SelHangingIndent, &RichTextView::SelRightIndent, &RichTextView::SelTabCount})
            values << (view.*get)().toString();
        const int tabs = view.SelTabCount().toInt();
        for (int t = 0; t < tabs; ++t)
            values << view.SelTabs(t).toString();
        out += QStringLiteral("%1 %2\n").arg(QString::number(ch.isEmpty() ? 0 : ch.at(0).unicode(), 16),
                                             values.join(QLatin1Char(',')));
    }
    return out;
}

/// A view holding every attribute the view can carry, in different places.
void fillWithEverything(RichTextView &view)
{
    view.setText(
        QStringLiteral("Title line\r\nred bold italic under strike\r\n"
                       "bullet one\r\nbullet two\r\nright aligned\r\ncentred\r\n"
                       "tabs\there\tand\there\r\nsup and sub\r\nUnicode: äöü € Ω 中文 \U0001F600 {braces} \\ back\r\n"
                       "protected part\r\nsoft")
        + QChar::LineSeparator + QStringLiteral("break"));
    const auto select = [&view](const QString &what) {
        const qint32 at = view.Text().indexOf(what);
        ASSERT_GE(at, 0) << what.toStdString();
        view.setSelStart(at);
        view.setSelLength(what.size());
    };
    select(QStringLiteral("Title"));
    view.setSelColor(16711680);
    view.setSelFontSize(16);
    view.setSelFontName(QStringLiteral("DejaVu Serif"));
    select(QStringLiteral("red"));
    view.setSelColor(255);
    select(QStringLiteral("bold"));
    view.setSelBold(true);
    select(QStringLiteral("italic"));
    view.setSelItalic(true);
    select(QStringLiteral("under"));
    view.setSelUnderline(true);
    select(QStringLiteral("strike"));
    view.setSelStrikeThru(true);
    select(QStringLiteral("bullet one\r\nbullet two"));
    view.setSelBullet(true);
    view.setSelIndent(360);
    view.setSelHangingIndent(360);
    select(QStringLiteral("right aligned"));
    view.setSelAlignment(RichTextView::AlignRight);
    view.setSelRightIndent(720);
    select(QStringLiteral("centred"));
    view.setSelAlignment(RichTextView::AlignCentre);
    select(QStringLiteral("tabs"));
    view.setSelTabCount(3);
    view.setSelTabs(0, 1000);
    view.setSelTabs(2, 5000);
    select(QStringLiteral("sup"));
    view.setSelCharOffset(60);
    select(QStringLiteral("sub"));
    view.setSelCharOffset(-40);
    select(QStringLiteral("Ω"));
    view.setSelColor(32768);
    select(QStringLiteral("protected"));
    view.setSelProtected(true);
}

void expectSameDescription(const QString &actual, const QString &expected)
{
    const QStringList a = actual.split(QLatin1Char('\n'));
    const QStringList e = expected.split(QLatin1Char('\n'));
    EXPECT_EQ(a.size(), e.size());
    for (qsizetype i = 0; i < qMin(a.size(), e.size()); ++i) {
        if (a[i] != e[i]) {
            ADD_FAILURE() << "character " << i << ": " << a[i].toStdString() << " instead of " << e[i].toStdString();
            return;
        }
    }
}

} // namespace

TEST(Rtf, EverythingTheViewHoldsSurvivesASaveAndALoad)
{
    RichTextView original;
    fillWithEverything(original);
    const QString path = TestEnvironment::freshFolder() + QStringLiteral("/all.rtf");
    original.SaveFile(path, RichTextView::RtfFile);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (const char c : bytes)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the file is plain ASCII";
    EXPECT_TRUE(bytes.contains("\\u-10179\\'3f\\u-8704\\'3f")) << "a character above U+FFFF as a surrogate pair";
    EXPECT_TRUE(bytes.contains("\\u8364\\'80")) << "the euro sign with its code-page fallback";
    EXPECT_TRUE(bytes.contains("\\u20013\\'3f")) << "no literal '?' fallback";

    RichTextView loaded;
    loaded.LoadFile(path, RichTextView::RtfFile);
    EXPECT_EQ(loaded.Text(), original.Text());
    expectSameDescription(describe(loaded), describe(original));
    EXPECT_EQ(loaded.FileName(), path);

    // The string forms carry the same.
    RichTextView viaString;
    viaString.setTextRTF(original.TextRTF());
    expectSameDescription(describe(viaString), describe(original));
}

TEST(Rtf, SelRtfCarriesOnlyTheSelectionAndInsertsAtTheCaret)
{
    RichTextView source;
    fillWithEverything(source);
    const qint32 at = source.Text().indexOf(QStringLiteral("red bold"));
    source.setSelStart(at);
    source.setSelLength(8);
    const QString piece = source.SelRTF();

    RichTextView target;
    target.setText(QStringLiteral("[]"));
    target.setSelStart(1);
    target.setSelRTF(piece);
    EXPECT_EQ(target.Text(), QStringLiteral("[red bold]"));
    target.setSelStart(1);
    target.setSelLength(3);
    EXPECT_EQ(target.SelColor(), 255);
    target.setSelStart(5);
    target.setSelLength(4);
    EXPECT_EQ(target.SelBold(), true);
}

TEST(Rtf, PlainTextFilesRoundTripAndNonRtfLoadsAsText)
{
    RichTextView view;
    view.setText(QStringLiteral("line one\r\nzwei: äß\r\n"));
    const QString folder = TestEnvironment::freshFolder();
    view.SaveFile(folder + QStringLiteral("/a.txt"), RichTextView::PlainTextFile);
    RichTextView loaded;
    loaded.LoadFile(folder + QStringLiteral("/a.txt"), RichTextView::PlainTextFile);
    EXPECT_EQ(loaded.Text(), view.Text());
    loaded.LoadFile(folder + QStringLiteral("/a.txt"), RichTextView::RtfFile);
    EXPECT_EQ(loaded.Text(), view.Text());

    EXPECT_THROW(loaded.LoadFile(folder + QStringLiteral("/missing.rtf")), AutomationError);
    // A target whose parent is a file cannot be written, even by root.
    EXPECT_THROW(loaded.SaveFile(folder + QStringLiteral("/a.txt/b.rtf")), AutomationError);
    EXPECT_EQ(loaded.Text(), view.Text()) << "a failed load or save changes nothing";
}
