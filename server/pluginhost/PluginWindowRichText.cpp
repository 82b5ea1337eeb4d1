// The members of PluginWindow that forward to the rich-text view: each reaches
// the view's property or method of the same name, at the moment of the call.

#include "PluginWindow.h"

#include "Guard.h"
#include "LateBinding.h"
#include "PluginWindowFont.h"
#include "PluginWindowHost.h"
#include "RuntimeErrors.h"

#include <QWidget>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginWindow") + QLatin1String(procedure);
}

// The view's margin that leaves long lines unwrapped when a plug-in turns
// wrapping off (larger than the window's own starting value on purpose).
constexpr qint32 unwrappedMargin = 999999;

} // namespace

QWidget *PluginWindow::richText()
{
    QWidget *view = host()->hostRichText();
    if (!view)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return view;
}

QVariant PluginWindow::richGet(const char *property)
{
    return LateBinding::get(richText(), property);
}

void PluginWindow::richSet(const char *property, const QVariant &value)
{
    LateBinding::set(richText(), property, value);
}

#define WL_FORWARD_PROPERTY(Type, Name, Setter, Label)                                                    \
    Type PluginWindow::Name()                                                                             \
    {                                                                                                     \
        return passOn(label("." Label " (Get)"), [&] { return richGet(#Name).value<Type>(); });           \
    }                                                                                                     \
    void PluginWindow::Setter(const Type &value)                                                          \
    {                                                                                                     \
        passOn(label("." Label " (Let)"), [&] { richSet(#Name, QVariant::fromValue(value)); });           \
    }

#define WL_FORWARD_SCALAR(Type, Name, Setter, Label)                                                      \
    Type PluginWindow::Name()                                                                             \
    {                                                                                                     \
        return passOn(label("." Label " (Get)"), [&] { return richGet(#Name).value<Type>(); });           \
    }                                                                                                     \
    void PluginWindow::Setter(Type value)                                                                 \
    {                                                                                                     \
        passOn(label("." Label " (Let)"), [&] { richSet(#Name, QVariant::fromValue(value)); });           \
    }

// Properties whose variant value may be null (a selection of mixed formatting).
#define WL_FORWARD_VARIANT(Name, Setter)                                                                  \
    QVariant PluginWindow::Name()                                                                         \
    {                                                                                                     \
        return passOn(label("." #Name " (Get)"), [&] { return richGet(#Name); });                        \
    }                                                                                                     \
    void PluginWindow::Setter(const QVariant &value)                                                      \
    {                                                                                                     \
        passOn(label("." #Name " (Let)"), [&] { richSet(#Name, value); });                                \
    }

void PluginWindow::setWrap(bool wrap)
{
    passOn(label(".Wrap (Let)"), [&] { richSet("RightMargin", wrap ? 0 : unwrappedMargin); });
}

bool PluginWindow::Wrap()
{
    return passOn(label(".Wrap (Get)"), [&] { return richGet("RightMargin").toInt() == 0; });
}

qint32 PluginWindow::BackColour()
{
    return passOn(label(".Backcolour (Get)"), [&] { return richGet("BackColor").value<qint32>(); });
}

void PluginWindow::setBackColour(qint32 colour)
{
    passOn(label(".Backcolour (Let)"), [&] { richSet("BackColor", colour); });
}

WL_FORWARD_SCALAR(bool, DisableNoScroll, setDisableNoScroll, "DisableNoScroll")
WL_FORWARD_PROPERTY(QString, FileName, setFileName, "FileName")
WL_FORWARD_SCALAR(bool, HideSelection, setHideSelection, "HideSelection")
WL_FORWARD_SCALAR(bool, Locked, setLocked, "Locked")
WL_FORWARD_SCALAR(qint32, RightMargin, setRightMargin, "RightMargin")
WL_FORWARD_SCALAR(qint32, SelColor, setSelColor, "SelColor")
WL_FORWARD_PROPERTY(QString, SelFontName, setSelFontName, "SelFontName")
WL_FORWARD_SCALAR(qint32, SelFontSize, setSelFontSize, "SelFontSize")
WL_FORWARD_SCALAR(qint32, SelHangingIndent, setSelHangingIndent, "SelHangingIndent")
WL_FORWARD_SCALAR(qint32, SelIndent, setSelIndent, "SelIndent")
WL_FORWARD_SCALAR(qint32, SelLength, setSelLength, "SelLength")
WL_FORWARD_SCALAR(qint32, SelRightIndent, setSelRightIndent, "SelRightIndent")
WL_FORWARD_PROPERTY(QString, SelRTF, setSelRTF, "SelRTF")
WL_FORWARD_SCALAR(qint32, SelStart, setSelStart, "SelStart")
WL_FORWARD_SCALAR(qint32, SelTabCount, setSelTabCount, "SelTabCount")
WL_FORWARD_PROPERTY(QString, SelText, setSelText, "SelText")
WL_FORWARD_PROPERTY(QString, Text, setText, "Text")
WL_FORWARD_PROPERTY(QString, TextRTF, setTextRTF, "TextRTF")
WL_FORWARD_VARIANT(SelBold, setSelBold)
WL_FORWARD_VARIANT(SelBullet, setSelBullet)
WL_FORWARD_VARIANT(SelCharOffset, setSelCharOffset)
WL_FORWARD_VARIANT(SelItalic, setSelItalic)
WL_FORWARD_VARIANT(SelProtected, setSelProtected)
WL_FORWARD_VARIANT(SelStrikeThru, setSelStrikeThru)
WL_FORWARD_VARIANT(SelUnderline, setSelUnderline)

bool PluginWindow::Enabled()
{
    return passOn(label(".Enabled (Get)"), [&] { return richText()->isEnabled(); });
}

void PluginWindow::setEnabled(bool value)
{
    passOn(label(".Enabled (Let)"), [&] { richText()->setEnabled(value); });
}

qint32 PluginWindow::ScrollBars()
{
    return passOn(label(".ScrollBars (Get)"), [&] { return richGet("ScrollBars").toInt(); });
}

void PluginWindow::setScrollBars(RTBScrollBarsEnum value)
{
    passOn(label(".ScrollBars (Let)"), [&] { richSet("ScrollBars", qint32(value)); });
}

qint32 PluginWindow::SelAlignment()
{
    return passOn(label(".SelAlignment (Get)"), [&] { return richGet("SelAlignment").toInt(); });
}

void PluginWindow::setSelAlignment(RTBSelAllignmentEnum value)
{
    passOn(label(".SelAlignment (Let)"), [&] { richSet("SelAlignment", qint32(value)); });
}

qint32 PluginWindow::Find(const QString &sFindText, qint32 nStart)
{
    return passOn(label(".Find"), [&] {
        return LateBinding::call(richText(), "Find", {sFindText, nStart}).toInt();
    });
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
    return passOn(label(".GetLineFromChar"), [&] {
        return LateBinding::call(richText(), "GetLineFromChar", {lChar}).toInt();
    });
}

void PluginWindow::LoadFile(const QVariant &bstrFileName)
{
    passOn(label(".LoadFile"), [&] {
        LateBinding::call(richText(), "LoadFile", {bstrFileName.toString(), qint32(wlog_RTF)});
    });
}

void PluginWindow::Refresh()
{
    passOn(label(".Refresh"), [&] { richText()->repaint(); });
}

void PluginWindow::SaveFile(const QVariant &FileName, RTBFileTypeEnum FileTypeFlag)
{
    passOn(label(".SaveFile"), [&] {
        LateBinding::call(richText(), "SaveFile", {FileName.toString(), qint32(FileTypeFlag)});
    });
}

void PluginWindow::SelPrint(const QVariant &hdc, const QVariant &vStartDoc)
{
    passOn(label(".SelPrint"), [&] {
        QVariantList arguments{hdc};
        if (vStartDoc.isValid())
            arguments.append(vStartDoc);
        LateBinding::call(richText(), "SelPrint", arguments);
    });
}

qint32 PluginWindow::SelTabs(qint32 Element)
{
    return passOn(label(".SelTabs (Get)"), [&] {
        return LateBinding::call(richText(), "SelTabs", {Element}).toInt();
    });
}

void PluginWindow::setSelTabs(qint32 Element, qint32 value)
{
    passOn(label(".SelTabs (Let)"), [&] { LateBinding::call(richText(), "setSelTabs", {Element, value}); });
}
