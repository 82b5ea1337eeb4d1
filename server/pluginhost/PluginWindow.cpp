#include "PluginWindow.h"

#include "FileType.h"
#include "FileTypeCollection.h"
#include "GlobalLibrary.h"
#include "Guard.h"
#include "LateBinding.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindowFont.h"
#include "PluginWindowHost.h"
#include "PrintOrigin.h"
#include "RuntimeErrors.h"
#include "Twips.h"
#include "VariantHelpers.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMetaMethod>
#include <QWidget>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginWindow") + QLatin1String(procedure);
}

QColor colourFromReference(qint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

qint32 referenceFromColour(const QColor &colour)
{
    return qint32(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

qint32 paletteColour(const QWidget *widget, QPalette::ColorRole role)
{
    return referenceFromColour(widget->palette().color(role));
}

void setPaletteColour(QWidget *widget, QPalette::ColorRole role, qint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colourFromReference(colour));
    widget->setPalette(palette);
}

// The window's position and size in twips: through its own properties when it
// has them (they define what its saved positions mean), else from its frame.
qint32 windowTwips(QWidget *form, const char *name)
{
    if (form->metaObject()->indexOfProperty(name) >= 0)
        return LateBinding::get(form, name).toInt();
    const QRect frame = form->frameGeometry();
    const QByteArray which(name);
    if (which == "Width")
        return qint32(Twips::fromPixelsX(frame.width()));
    if (which == "Height")
        return qint32(Twips::fromPixelsY(frame.height()));
    if (which == "Left")
        return qint32(Twips::fromPixelsX(frame.left()));
    return qint32(Twips::fromPixelsY(frame.top()));
}

void setWindowTwips(QWidget *form, const char *name, qint32 twips)
{
    if (form->metaObject()->indexOfProperty(name) >= 0) {
        LateBinding::set(form, name, twips);
        return;
    }
    const QByteArray which(name);
    if (which == "Width")
        form->resize(Twips::toPixelsX(twips), form->height());
    else if (which == "Height")
        form->resize(form->width(), Twips::toPixelsY(twips));
    else if (which == "Left")
        form->move(Twips::toPixelsX(twips), form->y());
    else
        form->move(form->x(), Twips::toPixelsY(twips));
}

/// Element i of a notification's values (the single value itself for i = 0).
QVariant element(const QVariant &values, int i)
{
    if (!Variants::isArray(values))
        return i == 0 ? values : QVariant();
    const QVariantList list = Variants::arrayElements(values);
    if (i >= list.size())
        RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
    return list.at(i);
}

template<typename T>
T elementAs(const QVariant &values, int i)
{
    QVariant value = element(values, i);
    if (!value.isValid())
        return T {};
    if (!value.convert(QMetaType::fromType<T>()))
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    return value.value<T>();
}

} // namespace

PluginWindow::PluginWindow(PluginWindowHost *host, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_menu(new PluginMenu(host, this))
{}

PluginWindow::~PluginWindow() = default;

PluginWindowHost *PluginWindow::host()
{
    if (!m_host)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_host;
}

QWidget *PluginWindow::form()
{
    QWidget *widget = host()->hostForm();
    if (!widget)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return widget;
}

QLineEdit *PluginWindow::topText()
{
    QLineEdit *box = host()->hostTopText();
    if (!box)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return box;
}

void PluginWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    passOn(QStringLiteral("DebugText"), [&] { host()->hostDebugPrint(Text, Colour, CrLF); });
}

void PluginWindow::DebugShow(const QString &Pass)
{
    passOn(label(".DebugShow"), [&] { host()->hostDebugShow(Pass); });
}

qint32 PluginWindow::ShowMessage(qint32 MsgBoxType, const QString &Text, const QString &Caption)
{
    // The same box as GlobalLibrary's, which titles it with the application's
    // title when Caption is empty.
    return passOn(label(".ShowMessage"), [&] { return GlobalLibrary().ShowMessage(MsgBoxType, Caption, Text); });
}

void PluginWindow::EraseAll()
{
    passOn(label(".EraseAll"), [&] { host()->hostEraseAll(); });
}

void PluginWindow::setOnTop(bool onTop)
{
    passOn(label(".OnTop (Let)"), [&] { host()->hostSetOnTop(onTop); });
}

bool PluginWindow::OnTop()
{
    return passOn(label(".OnTop (Get)"), [&] { return host()->hostOnTop(); });
}

void PluginWindow::setFold(bool fold)
{
    passOn(label(".Fold (Let)"), [&] { host()->hostSetFold(fold); });
}

bool PluginWindow::Fold()
{
    return passOn(label(".Fold (Get)"), [&] { return host()->hostFold(); });
}

qint32 PluginWindow::TopTextBackColour()
{
    return passOn(label(".TopTextBackColour (Get)"), [&] { return paletteColour(topText(), QPalette::Base); });
}

void PluginWindow::setTopTextBackColour(qint32 colour)
{
    passOn(label(".TopTextBackColour (Let)"), [&] { setPaletteColour(topText(), QPalette::Base, colour); });
}

bool PluginWindow::TopTextEnabled()
{
    return passOn(label(".TopTextEnabled (Get)"), [&] { return topText()->isEnabled(); });
}

void PluginWindow::setTopTextEnabled(bool value)
{
    passOn(label(".TopTextEnabled (Let)"), [&] { topText()->setEnabled(value); });
}

PluginWindowFont *PluginWindow::TopTextFont()
{
    return passOn(label(".TopTextFont (Get)"), [&] {
        auto *font = new PluginWindowFont;
        font->attach(topText());
        return font;
    });
}

qint32 PluginWindow::TopTextForeColour()
{
    return passOn(label(".TopTextForeColour (Get)"), [&] { return paletteColour(topText(), QPalette::Text); });
}

void PluginWindow::setTopTextForeColour(qint32 colour)
{
    passOn(label(".TopTextForeColour (Let)"), [&] { setPaletteColour(topText(), QPalette::Text, colour); });
}

bool PluginWindow::TopTextLocked()
{
    return passOn(label(".TopTextLocked (Get)"), [&] { return topText()->isReadOnly(); });
}

void PluginWindow::setTopTextLocked(bool value)
{
    passOn(label(".TopTextLocked (Let)"), [&] { topText()->setReadOnly(value); });
}

QString PluginWindow::TopTextPasswordChar()
{
    return passOn(label(".TopTextPasswordChar (Get)"), [&] { return topText()->property("PasswordChar").toString(); });
}

void PluginWindow::setTopTextPasswordChar(const QString &value)
{
    passOn(label(".TopTextPasswordChar (Let)"), [&] {
        // The box masks with the style's own character; the one chosen is kept
        // so that reading it back gives what was written.
        QLineEdit *box = topText();
        const QString character = value.left(1);
        box->setProperty("PasswordChar", character);
        box->setEchoMode(character.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
    });
}

void PluginWindow::TopTextRefresh()
{
    passOn(label(".TopTextRefresh"), [&] { topText()->repaint(); });
}

qint32 PluginWindow::TopTextSelLength()
{
    return passOn(label(".TopTextSelLength (Get)"), [&] { return qint32(topText()->selectedText().size()); });
}

void PluginWindow::setTopTextSelLength(qint32 value)
{
    passOn(label(".TopTextSelLength (Let)"), [&] {
        if (value < 0)
            RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
        QLineEdit *box = topText();
        const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
        box->setSelection(start, qMin(value, qint32(box->text().size()) - start));
    });
}

qint32 PluginWindow::TopTextSelStart()
{
    return passOn(label(".TopTextSelStart (Get)"), [&] {
        QLineEdit *box = topText();
        return qint32(box->hasSelectedText() ? box->selectionStart() : box->cursorPosition());
    });
}

void PluginWindow::setTopTextSelStart(qint32 value)
{
    passOn(label(".TopTextSelStart (Let)"), [&] {
        if (value < 0)
            RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
        QLineEdit *box = topText();
        box->deselect();
        box->setCursorPosition(qMin(value, qint32(box->text().size())));
    });
}

QString PluginWindow::TopTextSelText()
{
    return passOn(label(".TopTextSelText (Get)"), [&] { return topText()->selectedText(); });
}

void PluginWindow::setTopTextSelText(const QString &value)
{
    passOn(label(".TopTextSelText (Let)"), [&] { topText()->insert(value); });
}

void PluginWindow::TopTextSetFocus()
{
    passOn(label(".TopTextSetFocus"), [&] { topText()->setFocus(Qt::OtherFocusReason); });
}

QString PluginWindow::TopText()
{
    return passOn(label(".TopText (Get)"), [&] { return topText()->text(); });
}

void PluginWindow::setTopText(const QString &value)
{
    passOn(label(".TopText (Let)"), [&] { topText()->setText(value); });
}

qint32 PluginWindow::Width()
{
    return passOn(label(".Width (Get)"), [&] { return windowTwips(form(), "Width"); });
}

void PluginWindow::setWidth(qint32 twips)
{
    passOn(label(".Width (Let)"), [&] { setWindowTwips(form(), "Width", twips); });
}

qint32 PluginWindow::Height()
{
    return passOn(label(".Height (Get)"), [&] { return windowTwips(form(), "Height"); });
}

void PluginWindow::setHeight(qint32 twips)
{
    passOn(label(".Height (Let)"), [&] { setWindowTwips(form(), "Height", twips); });
}

qint32 PluginWindow::ScaleHeight()
{
    return passOn(label(".ScaleHeight (Get)"), [&] { return qint32(Twips::fromPixelsY(form()->height())); });
}

qint32 PluginWindow::ScaleWidth()
{
    return passOn(label(".ScaleWidth (Get)"), [&] { return qint32(Twips::fromPixelsX(form()->width())); });
}

qint32 PluginWindow::Top()
{
    return passOn(label(".Top (Get)"), [&] { return windowTwips(form(), "Top"); });
}

void PluginWindow::setTop(qint32 twips)
{
    passOn(label(".Top (Let)"), [&] { setWindowTwips(form(), "Top", twips); });
}

qint32 PluginWindow::Left()
{
    return passOn(label(".Left (Get)"), [&] { return windowTwips(form(), "Left"); });
}

void PluginWindow::setLeft(qint32 twips)
{
    passOn(label(".Left (Let)"), [&] { setWindowTwips(form(), "Left", twips); });
}

QString PluginWindow::Caption()
{
    return passOn(label(".Caption (Get)"), [&] { return form()->windowTitle(); });
}

void PluginWindow::setCaption(const QString &caption)
{
    passOn(label(".Caption (Let)"), [&] { form()->setWindowTitle(caption); });
}

PluginMenu *PluginWindow::Menu()
{
    return m_menu;
}

QWidget *PluginWindow::MainForm()
{
    return passOn(label(".MainForm (Get)"), [&] { return form(); });
}

QObject *PluginWindow::ToolBar()
{
    return passOn(label(".ToolBar (Get)"), [&] { return host()->hostToolBar(); });
}

FileTypeCollection *PluginWindow::FileTypes()
{
    return passOn(label(".FileTypes (Get)"),
                  [&] { return qobject_cast<FileTypeCollection *>(host()->hostFileTypes()); });
}

void PluginWindow::setDefaultFileTypeFilter(FileType *fileType)
{
    passOn(label(".DefaultFileTypeFilter (Set)"), [&] { host()->hostSetDefaultFilter(fileType); });
}

FileType *PluginWindow::DefaultFileTypeFilter()
{
    return passOn(label(".DefaultFileTypeFilter (Get)"),
                  [&] { return qobject_cast<FileType *>(host()->hostDefaultFilter()); });
}

void PluginWindow::setDefaultFileName(const QString &name)
{
    passOn(label(".DefaultFileName (Let)"), [&] { host()->hostSetDefaultFileName(name); });
}

QString PluginWindow::DefaultFileName()
{
    return passOn(label(".DefaultFileName (Get)"), [&] { return host()->hostDefaultFileName(); });
}

QVariant PluginWindow::hWnd()
{
    return passOn(label(".hWnd (Get)"), [&] { return QVariant::fromValue(quint64(form()->winId())); });
}

void PluginWindow::SetFocus()
{
    // No handler of its own: a failure reaches the caller unchanged.
    QWidget *window = form();
    window->activateWindow();
    window->setFocus(Qt::OtherFocusReason);
}

QString PluginWindow::PrintSender()
{
    return PrintOrigin::current();
}

void PluginWindow::Notify(qint32 code, const QVariant &values, bool &cancel)
{
    passOn(label(".Notify"), [&] {
        switch (code) {
        case 0: emit Ready(); break;
        case 1: emit DebugShowEvent(); break;
        case 2:
            emit DebugPrintEvent(elementAs<QString>(values, 0), elementAs<qint32>(values, 1),
                                 elementAs<bool>(values, 2), cancel);
            break;
        case 3: emit Busy(elementAs<bool>(values, 0)); break;
        case 4: emit OnTopEvent(elementAs<bool>(values, 0)); break;
        case 5: emit FoldEvent(elementAs<bool>(values, 0)); break;
        case 6: emit BeforeOpen(cancel); break;
        case 7: emit AfterOpen(elementAs<QString>(values, 0)); break;
        case 8: emit BeforeSave(cancel); break;
        case 9: emit AfterSave(elementAs<QString>(values, 0)); break;
        case 10: emit BeforeEraseAll(cancel); break;
        case 11: emit AfterEraseAll(); break;
        case 12: emit KeyPress(elementAs<qint32>(values, 0), elementAs<qint32>(values, 1)); break;
        case 13: emit Activate(); break;
        case 14: emit DeActivate(); break;
        case 15: emit Resize(); break;
        case 16: m_menu->MenuItem(elementAs<qint32>(values, 0))->MenuClick(); break;
        case 17: emit BeforeQuit(cancel); break;
        case 18: emit Move(); break;
        case 19: emit Translucency(elementAs<bool>(values, 0)); break;
        case 20: emit TopTextChange(); break;
        case 21: emit TopTextKeyPress(elementAs<qint16>(values, 0)); break;
        case 23: emit TopTextLostFocus(); break;
        case 24: emit TopTextGotFocus(); break;
        case 25: emit LostFocus(); break;
        case 26: emit GotFocus(); break;
        case 27: emit Change(); break;
        case 28: emit Click(); break;
        case 29: emit DblClick(); break;
        case 30: {
            // Handlers may change their copies; nothing travels back to the window.
            qint16 button = elementAs<qint16>(values, 0);
            qint16 shift = elementAs<qint16>(values, 1);
            float x = elementAs<float>(values, 2);
            float y = elementAs<float>(values, 3);
            emit MouseMove(button, shift, x, y);
            break;
        }
        case 31: emit SelChange(); break;
        default: break; // 22 and unknown codes are not events
        }
    });
}

bool PluginWindow::listensTo(qint32 code) const
{
    // The events of every print; the rest are rare enough to send regardless.
    switch (code) {
    case 2: return isSignalConnected(QMetaMethod::fromSignal(&PluginWindow::DebugPrintEvent));
    case 27: return isSignalConnected(QMetaMethod::fromSignal(&PluginWindow::Change));
    case 31: return isSignalConnected(QMetaMethod::fromSignal(&PluginWindow::SelChange));
    default: return true;
    }
}
