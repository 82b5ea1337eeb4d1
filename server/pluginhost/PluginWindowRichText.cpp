// The members of PluginWindow that forward to the rich-text view, fetched from
// the window at each call.

#include "PluginWindow.h"

#include "Guard.h"
#include "PluginWindowFont.h"
#include "PluginWindowHost.h"
#include "RichTextView.h"
#include "RuntimeErrors.h"

#include <QPrinter>

#include <cmath>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginWindow") + QLatin1String(procedure);
}

// The margin that leaves long lines unwrapped when a plug-in turns wrapping
// off: larger than the window's own starting value, on purpose.
constexpr qint32 unwrappedMargin = 999999;

// Selection properties read as null over mixed formatting; a member declared
// as a number then reads 0.
qint32 asNumber(const QVariant &value)
{
    return RichTextView::isNull(value) ? 0 : qint32(std::lround(value.toDouble()));
}

bool asBoolean(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QString>()) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    QVariant converted = value;
    if (!converted.convert(QMetaType::fromType<double>()))
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    return converted.toDouble() != 0.0;
}

std::function<std::unique_ptr<QPrinter>()> &printerFactory()
{
    static std::function<std::unique_ptr<QPrinter>()> factory;
    return factory;
}

} // namespace

void PluginWindow::setPrinterFactory(std::function<std::unique_ptr<QPrinter>()> factory)
{
    printerFactory() = std::move(factory);
}

RichTextView *PluginWindow::richText()
{
    RichTextView *view = host()->hostRichText();
    if (!view)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return view;
}

void PluginWindow::setWrap(bool wrap)
{
    passOn(label(".Wrap (Let)"), [&] { richText()->setRightMargin(wrap ? 0 : unwrappedMargin); });
}

bool PluginWindow::Wrap()
{
    return passOn(label(".Wrap (Get)"), [&] { return richText()->RightMargin() == 0; });
}

qint32 PluginWindow::BackColour()
{
    return passOn(label(".Backcolour (Get)"), [&] { return richText()->BackColor(); });
}

void PluginWindow::setBackColour(qint32 colour)
{
    passOn(label(".Backcolour (Let)"), [&] { richText()->setBackColor(colour); });
}

bool PluginWindow::DisableNoScroll()
{
    return passOn(label(".DisableNoScroll (Get)"), [&] { return richText()->DisableNoScroll(); });
}

void PluginWindow::setDisableNoScroll(bool value)
{
    passOn(label(".DisableNoScroll (Let)"), [&] { richText()->setDisableNoScroll(value); });
}

bool PluginWindow::Enabled()
{
    return passOn(label(".Enabled (Get)"), [&] { return richText()->isEnabled(); });
}

void PluginWindow::setEnabled(bool value)
{
    passOn(label(".Enabled (Let)"), [&] { richText()->setEnabled(value); });
}

QString PluginWindow::FileName()
{
    return passOn(label(".FileName (Get)"), [&] { return richText()->FileName(); });
}

void PluginWindow::setFileName(const QString &value)
{
    passOn(label(".FileName (Let)"), [&] { richText()->setFileName(value); });
}

qint32 PluginWindow::Find(const QString &sFindText, qint32 nStart)
{
    return passOn(label(".Find"), [&] { return richText()->Find(sFindText, nStart); });
}

PluginWindowFont *PluginWindow::Font()
{
    return passOn(label(".Font (Get)"), [&] {
        auto *font = new PluginWindowFont;
        font->attach(richText());
        return font;
    });
}

qint32 PluginWindow::GetLineFromChar(qint32 lChar)
{
    return passOn(label(".GetLineFromChar"), [&] { return richText()->GetLineFromChar(lChar); });
}

bool PluginWindow::HideSelection()
{
    return passOn(label(".HideSelection (Get)"), [&] { return richText()->HideSelection(); });
}

void PluginWindow::setHideSelection(bool value)
{
    passOn(label(".HideSelection (Let)"), [&] { richText()->setHideSelection(value); });
}

void PluginWindow::LoadFile(const QVariant &bstrFileName)
{
    passOn(label(".LoadFile"), [&] { richText()->LoadFile(bstrFileName.toString()); });
}

bool PluginWindow::Locked()
{
    return passOn(label(".Locked (Get)"), [&] { return richText()->Locked(); });
}

void PluginWindow::setLocked(bool value)
{
    passOn(label(".Locked (Let)"), [&] { richText()->setLocked(value); });
}

qint32 PluginWindow::RightMargin()
{
    return passOn(label(".RightMargin (Get)"), [&] { return richText()->RightMargin(); });
}

void PluginWindow::setRightMargin(qint32 value)
{
    passOn(label(".RightMargin (Let)"), [&] { richText()->setRightMargin(value); });
}

void PluginWindow::Refresh()
{
    passOn(label(".Refresh"), [&] { richText()->Refresh(); });
}

void PluginWindow::SaveFile(const QVariant &FileName, RTBFileTypeEnum FileTypeFlag)
{
    passOn(label(".SaveFile"), [&] { richText()->SaveFile(FileName.toString(), qint32(FileTypeFlag)); });
}

qint32 PluginWindow::ScrollBars()
{
    return passOn(label(".ScrollBars (Get)"), [&] { return richText()->ScrollBars(); });
}

void PluginWindow::setScrollBars(RTBScrollBarsEnum value)
{
    passOn(label(".ScrollBars (Let)"), [&] { richText()->setScrollBars(qint32(value)); });
}

qint32 PluginWindow::SelAlignment()
{
    return passOn(label(".SelAlignment (Get)"), [&] { return asNumber(richText()->SelAlignment()); });
}

void PluginWindow::setSelAlignment(RTBSelAllignmentEnum value)
{
    passOn(label(".SelAlignment (Let)"), [&] { richText()->setSelAlignment(qint32(value)); });
}

QVariant PluginWindow::SelBold()
{
    return passOn(label(".SelBold (Get)"), [&] { return richText()->SelBold(); });
}

void PluginWindow::setSelBold(const QVariant &value)
{
    passOn(label(".SelBold (Let)"), [&] { richText()->setSelBold(asBoolean(value)); });
}

QVariant PluginWindow::SelBullet()
{
    return passOn(label(".SelBullet (Get)"), [&] { return richText()->SelBullet(); });
}

void PluginWindow::setSelBullet(const QVariant &value)
{
    passOn(label(".SelBullet (Let)"), [&] { richText()->setSelBullet(asBoolean(value)); });
}

QVariant PluginWindow::SelCharOffset()
{
    return passOn(label(".SelCharOffset (Get)"), [&] { return richText()->SelCharOffset(); });
}

void PluginWindow::setSelCharOffset(const QVariant &value)
{
    passOn(label(".SelCharOffset (Let)"), [&] {
        bool ok = false;
        const double twips = value.toDouble(&ok);
        if (!ok)
            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
        richText()->setSelCharOffset(qint32(std::lround(twips)));
    });
}

qint32 PluginWindow::SelColor()
{
    return passOn(label(".SelColor (Get)"), [&] { return asNumber(richText()->SelColor()); });
}

void PluginWindow::setSelColor(qint32 value)
{
    passOn(label(".SelColor (Let)"), [&] { richText()->setSelColor(value); });
}

QString PluginWindow::SelFontName()
{
    return passOn(label(".SelFontName (Get)"), [&] {
        const QVariant name = richText()->SelFontName();
        return RichTextView::isNull(name) ? QString() : name.toString();
    });
}

void PluginWindow::setSelFontName(const QString &value)
{
    passOn(label(".SelFontName (Let)"), [&] { richText()->setSelFontName(value); });
}

qint32 PluginWindow::SelFontSize()
{
    return passOn(label(".SelFontSize (Get)"), [&] { return asNumber(richText()->SelFontSize()); });
}

void PluginWindow::setSelFontSize(qint32 value)
{
    passOn(label(".SelFontSize (Let)"), [&] { richText()->setSelFontSize(value); });
}

qint32 PluginWindow::SelHangingIndent()
{
    return passOn(label(".SelHangingIndent (Get)"), [&] { return asNumber(richText()->SelHangingIndent()); });
}

void PluginWindow::setSelHangingIndent(qint32 value)
{
    passOn(label(".SelHangingIndent (Let)"), [&] { richText()->setSelHangingIndent(value); });
}

qint32 PluginWindow::SelIndent()
{
    return passOn(label(".SelIndent (Get)"), [&] { return asNumber(richText()->SelIndent()); });
}

void PluginWindow::setSelIndent(qint32 value)
{
    passOn(label(".SelIndent (Let)"), [&] { richText()->setSelIndent(value); });
}

QVariant PluginWindow::SelItalic()
{
    return passOn(label(".SelItalic (Get)"), [&] { return richText()->SelItalic(); });
}

void PluginWindow::setSelItalic(const QVariant &value)
{
    passOn(label(".SelItalic (Let)"), [&] { richText()->setSelItalic(asBoolean(value)); });
}

qint32 PluginWindow::SelLength()
{
    return passOn(label(".SelLength (Get)"), [&] { return richText()->SelLength(); });
}

void PluginWindow::setSelLength(qint32 value)
{
    passOn(label(".SelLength (Let)"), [&] { richText()->setSelLength(value); });
}

void PluginWindow::SelPrint(const QVariant &hdc, const QVariant &vStartDoc)
{
    Q_UNUSED(vStartDoc) // a printer device starts its own document
    passOn(label(".SelPrint"), [&] {
        auto *printer = hdc.value<QPrinter *>();
        if (!printer)
            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
        richText()->SelPrint(*printer);
    });
}

QVariant PluginWindow::SelProtected()
{
    return passOn(label(".SelProtected (Get)"), [&] { return richText()->SelProtected(); });
}

void PluginWindow::setSelProtected(const QVariant &value)
{
    passOn(label(".SelProtected (Let)"), [&] { richText()->setSelProtected(asBoolean(value)); });
}

qint32 PluginWindow::SelRightIndent()
{
    return passOn(label(".SelRightIndent (Get)"), [&] { return asNumber(richText()->SelRightIndent()); });
}

void PluginWindow::setSelRightIndent(qint32 value)
{
    passOn(label(".SelRightIndent (Let)"), [&] { richText()->setSelRightIndent(value); });
}

QString PluginWindow::SelRTF()
{
    return passOn(label(".SelRTF (Get)"), [&] { return richText()->SelRTF(); });
}

void PluginWindow::setSelRTF(const QString &value)
{
    passOn(label(".SelRTF (Let)"), [&] { richText()->setSelRTF(value); });
}

qint32 PluginWindow::SelStart()
{
    return passOn(label(".SelStart (Get)"), [&] { return richText()->SelStart(); });
}

void PluginWindow::setSelStart(qint32 value)
{
    passOn(label(".SelStart (Let)"), [&] { richText()->setSelStart(value); });
}

QVariant PluginWindow::SelStrikeThru()
{
    return passOn(label(".SelStrikeThru (Get)"), [&] { return richText()->SelStrikeThru(); });
}

void PluginWindow::setSelStrikeThru(const QVariant &value)
{
    passOn(label(".SelStrikeThru (Let)"), [&] { richText()->setSelStrikeThru(asBoolean(value)); });
}

qint32 PluginWindow::SelTabCount()
{
    return passOn(label(".SelTabCount (Get)"), [&] { return asNumber(richText()->SelTabCount()); });
}

void PluginWindow::setSelTabCount(qint32 value)
{
    passOn(label(".SelTabCount (Let)"), [&] { richText()->setSelTabCount(value); });
}

qint32 PluginWindow::SelTabs(qint32 Element)
{
    return passOn(label(".SelTabs (Get)"), [&] { return asNumber(richText()->SelTabs(Element)); });
}

void PluginWindow::setSelTabs(qint32 Element, qint32 value)
{
    passOn(label(".SelTabs (Let)"), [&] { richText()->setSelTabs(Element, value); });
}

QString PluginWindow::SelText()
{
    return passOn(label(".SelText (Get)"), [&] { return richText()->SelText(); });
}

void PluginWindow::setSelText(const QString &value)
{
    passOn(label(".SelText (Let)"), [&] { richText()->setSelText(value); });
}

QVariant PluginWindow::SelUnderline()
{
    return passOn(label(".SelUnderline (Get)"), [&] { return richText()->SelUnderline(); });
}

void PluginWindow::setSelUnderline(const QVariant &value)
{
    passOn(label(".SelUnderline (Let)"), [&] { richText()->setSelUnderline(asBoolean(value)); });
}

QString PluginWindow::Text()
{
    return passOn(label(".Text (Get)"), [&] { return richText()->Text(); });
}

void PluginWindow::setText(const QString &value)
{
    passOn(label(".Text (Let)"), [&] { richText()->setText(value); });
}

QString PluginWindow::TextRTF()
{
    return passOn(label(".TextRTF (Get)"), [&] { return richText()->TextRTF(); });
}

void PluginWindow::setTextRTF(const QString &value)
{
    passOn(label(".TextRTF (Let)"), [&] { richText()->setTextRTF(value); });
}

void PluginWindow::PrintIt()
{
    passOn(label(".PrintIt"), [&] {
        RichTextView *view = richText();
        std::unique_ptr<QPrinter> printer = printerFactory() ? printerFactory()() : std::make_unique<QPrinter>();
        if (!printer)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        // Without a printer Qt falls back to a PDF printer that writes
        // nowhere, and printing to it does nothing without saying so.
        const bool usable = printer->isValid()
            && (printer->outputFormat() == QPrinter::NativeFormat || !printer->outputFileName().isEmpty());
        if (!usable)
            RuntimeErrors::raise(RuntimeErrors::PrinterError, Guard::defaultSource());
        view->SelPrint(*printer);
    });
}
