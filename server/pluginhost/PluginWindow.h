#pragma once

#include "FileType.h"
#include "FileTypeCollection.h"
#include "NotificationSink.h"
#include "WrenlogEnums.h"

#include <QObject>
#include <QPrinter>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <memory>

class PluginMenu;
class PluginWindowFont;
class PluginWindowHost;
class QLineEdit;
class QWidget;
class RichTextView;

/**
 * The plug-ins' view of the debug window, shared by every plug-in.
 *
 * Members print into the debug text, format it, drive the top text box and
 * restyle the window; each one fetches its target from the window at the
 * moment of the call and keeps nothing itself. Rich-text members reach the
 * view's properties of the same names.
 *
 * The window tells the plug-ins what happens through Notify(), which raises one
 * of the 30 events below on every listener, synchronously and in connection
 * order. Events that can be cancelled take Cancel by reference: connect them
 * directly (the default for objects of the user-interface thread).
 *
 *     connect(window, &PluginWindow::BeforeEraseAll, this, [](bool &Cancel) { Cancel = true; });
 *
 * The four events whose names are also members' names carry the suffix
 * "Event": DebugShowEvent, DebugPrintEvent, OnTopEvent and FoldEvent.
 *
 * Failures leave every member as AutomationError with "PluginWindow." and the
 * member's label added to the source.
 *
 * Every property is also a Qt property and every method an invokable, so the
 * members can be reached by name at run time (QObject::property,
 * QMetaObject::invokeMethod), as a storage string's binding or a script does:
 *
 *     window->setProperty("TopText", QStringLiteral("Notes"));
 *     QMetaObject::invokeMethod(window, "DebugPrint", Q_ARG(QString, text));
 *
 * The indexed SelTabs is reached through its two invokables.
 */
Q_DECLARE_METATYPE(QPrinter *)

class PluginWindow : public QObject, public NotificationSink
{
    Q_OBJECT
    Q_MOC_INCLUDE("PluginMenu.h")
    Q_MOC_INCLUDE("PluginWindowFont.h")
    Q_PROPERTY(bool Wrap READ Wrap WRITE setWrap)
    Q_PROPERTY(bool OnTop READ OnTop WRITE setOnTop)
    Q_PROPERTY(bool Fold READ Fold WRITE setFold)
    Q_PROPERTY(qint32 BackColour READ BackColour WRITE setBackColour)
    Q_PROPERTY(bool DisableNoScroll READ DisableNoScroll WRITE setDisableNoScroll)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(PluginWindowFont *Font READ Font)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE setHideSelection)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(qint32 RightMargin READ RightMargin WRITE setRightMargin)
    Q_PROPERTY(qint32 ScrollBars READ ScrollBars WRITE setScrollBarsNumber)
    Q_PROPERTY(qint32 SelAlignment READ SelAlignment WRITE setSelAlignmentNumber)
    Q_PROPERTY(QVariant SelBold READ SelBold WRITE setSelBold)
    Q_PROPERTY(QVariant SelBullet READ SelBullet WRITE setSelBullet)
    Q_PROPERTY(QVariant SelCharOffset READ SelCharOffset WRITE setSelCharOffset)
    Q_PROPERTY(qint32 SelColor READ SelColor WRITE setSelColor)
    Q_PROPERTY(QString SelFontName READ SelFontName WRITE setSelFontName)
    Q_PROPERTY(qint32 SelFontSize READ SelFontSize WRITE setSelFontSize)
    Q_PROPERTY(qint32 SelHangingIndent READ SelHangingIndent WRITE setSelHangingIndent)
    Q_PROPERTY(qint32 SelIndent READ SelIndent WRITE setSelIndent)
    Q_PROPERTY(QVariant SelItalic READ SelItalic WRITE setSelItalic)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(QVariant SelProtected READ SelProtected WRITE setSelProtected)
    Q_PROPERTY(qint32 SelRightIndent READ SelRightIndent WRITE setSelRightIndent)
    Q_PROPERTY(QString SelRTF READ SelRTF WRITE setSelRTF)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QVariant SelStrikeThru READ SelStrikeThru WRITE setSelStrikeThru)
    Q_PROPERTY(qint32 SelTabCount READ SelTabCount WRITE setSelTabCount)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(QVariant SelUnderline READ SelUnderline WRITE setSelUnderline)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString TextRTF READ TextRTF WRITE setTextRTF)
    Q_PROPERTY(qint32 TopTextBackColour READ TopTextBackColour WRITE setTopTextBackColour)
    Q_PROPERTY(bool TopTextEnabled READ TopTextEnabled WRITE setTopTextEnabled)
    Q_PROPERTY(PluginWindowFont *TopTextFont READ TopTextFont)
    Q_PROPERTY(qint32 TopTextForeColour READ TopTextForeColour WRITE setTopTextForeColour)
    Q_PROPERTY(bool TopTextLocked READ TopTextLocked WRITE setTopTextLocked)
    Q_PROPERTY(QString TopTextPasswordChar READ TopTextPasswordChar WRITE setTopTextPasswordChar)
    Q_PROPERTY(qint32 TopTextSelLength READ TopTextSelLength WRITE setTopTextSelLength)
    Q_PROPERTY(qint32 TopTextSelStart READ TopTextSelStart WRITE setTopTextSelStart)
    Q_PROPERTY(QString TopTextSelText READ TopTextSelText WRITE setTopTextSelText)
    Q_PROPERTY(QString TopText READ TopText WRITE setTopText)
    Q_PROPERTY(qint32 Width READ Width WRITE setWidth)
    Q_PROPERTY(qint32 Height READ Height WRITE setHeight)
    Q_PROPERTY(qint32 ScaleHeight READ ScaleHeight)
    Q_PROPERTY(qint32 ScaleWidth READ ScaleWidth)
    Q_PROPERTY(qint32 Top READ Top WRITE setTop)
    Q_PROPERTY(qint32 Left READ Left WRITE setLeft)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(PluginMenu *Menu READ Menu)
    Q_PROPERTY(QWidget *MainForm READ MainForm)
    Q_PROPERTY(QObject *ToolBar READ ToolBar)
    Q_PROPERTY(FileTypeCollection *FileTypes READ FileTypes)
    Q_PROPERTY(FileType *DefaultFileTypeFilter READ DefaultFileTypeFilter WRITE setDefaultFileTypeFilter)
    Q_PROPERTY(QString DefaultFileName READ DefaultFileName WRITE setDefaultFileName)
    Q_PROPERTY(QVariant hWnd READ hWnd)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 SelColour READ SelColour WRITE setSelColour)
    Q_PROPERTY(qint32 TopTextBackColor READ TopTextBackColor WRITE setTopTextBackColor)
    Q_PROPERTY(qint32 TopTextForeColor READ TopTextForeColor WRITE setTopTextForeColor)

public:
    explicit PluginWindow(PluginWindowHost *host, QObject *parent = nullptr);
    ~PluginWindow() override;

    Q_INVOKABLE void DebugPrint(const QString &Text, qint32 Colour = wlogNormal, bool CrLF = true);
    Q_INVOKABLE void DebugShow(const QString &Pass = QString());
    Q_INVOKABLE qint32 ShowMessage(qint32 MsgBoxType, const QString &Text, const QString &Caption = QString());
    Q_INVOKABLE void EraseAll();
    void setWrap(bool wrap);
    bool Wrap();
    void setOnTop(bool onTop);
    bool OnTop();
    void setFold(bool fold);
    bool Fold();
    qint32 BackColour();
    void setBackColour(qint32 colour);
    bool DisableNoScroll();
    void setDisableNoScroll(bool value);
    bool Enabled();
    void setEnabled(bool value);
    QString FileName();
    void setFileName(const QString &value);
    Q_INVOKABLE qint32 Find(const QString &sFindText, qint32 nStart = 0);
    /// A new wrapper of the rich-text view's font; the caller owns it.
    PluginWindowFont *Font();
    Q_INVOKABLE qint32 GetLineFromChar(qint32 lChar);
    bool HideSelection();
    void setHideSelection(bool value);
    Q_INVOKABLE void LoadFile(const QVariant &bstrFileName);
    bool Locked();
    void setLocked(bool value);
    qint32 RightMargin();
    void setRightMargin(qint32 value);
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void SaveFile(const QVariant &FileName, RTBFileTypeEnum FileTypeFlag = wlog_RTF);
    qint32 ScrollBars();
    void setScrollBars(RTBScrollBarsEnum value);
    qint32 SelAlignment();
    void setSelAlignment(RTBSelAllignmentEnum value);
    QVariant SelBold();
    void setSelBold(const QVariant &value);
    QVariant SelBullet();
    void setSelBullet(const QVariant &value);
    QVariant SelCharOffset();
    void setSelCharOffset(const QVariant &value);
    qint32 SelColor();
    void setSelColor(qint32 value);
    QString SelFontName();
    void setSelFontName(const QString &value);
    qint32 SelFontSize();
    void setSelFontSize(qint32 value);
    qint32 SelHangingIndent();
    void setSelHangingIndent(qint32 value);
    qint32 SelIndent();
    void setSelIndent(qint32 value);
    QVariant SelItalic();
    void setSelItalic(const QVariant &value);
    qint32 SelLength();
    void setSelLength(qint32 value);
    /// hdc holds the QPrinter * to print on.
    Q_INVOKABLE void SelPrint(const QVariant &hdc, const QVariant &vStartDoc = QVariant());
    QVariant SelProtected();
    void setSelProtected(const QVariant &value);
    qint32 SelRightIndent();
    void setSelRightIndent(qint32 value);
    QString SelRTF();
    void setSelRTF(const QString &value);
    qint32 SelStart();
    void setSelStart(qint32 value);
    QVariant SelStrikeThru();
    void setSelStrikeThru(const QVariant &value);
    qint32 SelTabCount();
    void setSelTabCount(qint32 value);
    Q_INVOKABLE qint32 SelTabs(qint32 Element);
    Q_INVOKABLE void setSelTabs(qint32 Element, qint32 value);
    QString SelText();
    void setSelText(const QString &value);
    QVariant SelUnderline();
    void setSelUnderline(const QVariant &value);
    QString Text();
    void setText(const QString &value);
    QString TextRTF();
    void setTextRTF(const QString &value);
    qint32 TopTextBackColour();
    void setTopTextBackColour(qint32 colour);
    bool TopTextEnabled();
    void setTopTextEnabled(bool value);
    /// A new wrapper of the top text box's font; the caller owns it.
    PluginWindowFont *TopTextFont();
    qint32 TopTextForeColour();
    void setTopTextForeColour(qint32 colour);
    bool TopTextLocked();
    void setTopTextLocked(bool value);
    QString TopTextPasswordChar();
    void setTopTextPasswordChar(const QString &value);
    Q_INVOKABLE void TopTextRefresh();
    qint32 TopTextSelLength();
    void setTopTextSelLength(qint32 value);
    qint32 TopTextSelStart();
    void setTopTextSelStart(qint32 value);
    QString TopTextSelText();
    void setTopTextSelText(const QString &value);
    Q_INVOKABLE void TopTextSetFocus();
    QString TopText();
    void setTopText(const QString &value);
    qint32 Width();
    void setWidth(qint32 twips);
    qint32 Height();
    void setHeight(qint32 twips);
    qint32 ScaleHeight();
    qint32 ScaleWidth();
    qint32 Top();
    void setTop(qint32 twips);
    qint32 Left();
    void setLeft(qint32 twips);
    QString Caption();
    PluginMenu *Menu();
    QWidget *MainForm();
    QObject *ToolBar();
    FileTypeCollection *FileTypes();
    void setDefaultFileTypeFilter(FileType *fileType);
    FileType *DefaultFileTypeFilter();
    void setDefaultFileName(const QString &name);
    QString DefaultFileName();
    QVariant hWnd();
    Q_INVOKABLE void SetFocus();
    void setCaption(const QString &caption);
    Q_INVOKABLE void PrintIt();
    qint32 BackColor() { return BackColour(); }
    void setBackColor(qint32 colour) { setBackColour(colour); }
    qint32 SelColour() { return SelColor(); }
    void setSelColour(qint32 colour) { setSelColor(colour); }
    qint32 TopTextBackColor() { return TopTextBackColour(); }
    void setTopTextBackColor(qint32 colour) { setTopTextBackColour(colour); }
    qint32 TopTextForeColor() { return TopTextForeColour(); }
    void setTopTextForeColor(qint32 colour) { setTopTextForeColour(colour); }
    /// Who sent the piece of the DebugPrint event being raised, read from a
    /// DebugPrintEvent handler: a program on the bus as its process name and
    /// id, "make 4711" (looked up once per bus connection); a plug-in as its
    /// key while the host runs it (Initialize, Run, Splash, ShowProperties, a
    /// click on one of its menu entries); "wrenlog" for the server itself.
    /// Outside the event it tells who is running now, which is rarely useful.
    QString PrintSender();

    /// Where PrintIt prints: the default printer unless a factory is set (tests print to PDF).
    static void setPrinterFactory(std::function<std::unique_ptr<QPrinter>()> factory);

    /// Host side: raises the event of a notification code; code 16 clicks
    /// plug-in menu item number values, code 22 and unknown codes do nothing.
    void Notify(qint32 code, const QVariant &values, bool &cancel) override;
    bool listensTo(qint32 code) const override;

signals:
    void DebugShowEvent();
    void DebugPrintEvent(const QString &Text, qint32 Colour, bool CrLfAtEnd, bool &Cancel);
    void Ready();
    void Busy(bool IsBusy);
    void OnTopEvent(bool IsOnTop);
    void FoldEvent(bool IsFolded);
    void BeforeOpen(bool &Cancel);
    void AfterOpen(const QString &Path);
    void BeforeSave(bool &Cancel);
    void AfterSave(const QString &Path);
    void BeforeEraseAll(bool &Cancel);
    void AfterEraseAll();
    void KeyPress(qint32 KeyCode, qint32 Shift);
    void Activate();
    void DeActivate();
    void Resize();
    void BeforeQuit(bool &Cancel);
    void Move();
    void GotFocus();
    void LostFocus();
    void MouseMove(qint16 &Button, qint16 &Shift, float &x, float &y);
    void SelChange();
    void Click();
    void DblClick();
    void Change();
    void Translucency(bool Translucent);
    void TopTextChange();
    void TopTextKeyPress(qint16 KeyAscii);
    void TopTextLostFocus();
    void TopTextGotFocus();

private:
    void setScrollBarsNumber(qint32 value) { setScrollBars(RTBScrollBarsEnum(value)); }
    void setSelAlignmentNumber(qint32 value) { setSelAlignment(RTBSelAllignmentEnum(value)); }
    PluginWindowHost *host();
    QWidget *form();
    RichTextView *richText();
    QLineEdit *topText();

    PluginWindowHost *m_host;
    PluginMenu *m_menu;
};
