#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QAction;
class QLineEdit;
class QObject;
class QWidget;
class RichTextView;

/**
 * What the plug-in facade needs of the debug window it stands for.
 *
 * The facade keeps no state of its own: every member fetches its target here at
 * the moment of the call (the rich-text view, the top text box or the window)
 * and reads or writes it, or runs one of the window's own operations, which
 * raise the window's notifications as usual.
 *
 * The plug-in menu side: each new element of the Plugins submenu and each new
 * entry of the plug-in button's drop-down is made by the window, which also
 * routes a click on element or entry n to notification 16 with the value n.
 */
class PluginWindowHost
{
public:
    virtual ~PluginWindowHost();

    virtual QWidget *hostForm() = 0;
    virtual RichTextView *hostRichText() = 0;
    virtual QLineEdit *hostTopText() = 0;
    virtual QObject *hostToolBar() = 0;

    virtual void hostDebugPrint(const QString &text, qint32 colour, bool crLf) = 0;
    virtual void hostDebugShow(const QString &pass) = 0;
    virtual void hostEraseAll() = 0;
    virtual bool hostOnTop() = 0;
    virtual void hostSetOnTop(bool onTop) = 0;
    virtual bool hostFold() = 0;
    virtual void hostSetFold(bool fold) = 0;

    virtual QObject *hostFileTypes() = 0;
    virtual QObject *hostDefaultFilter() = 0;
    virtual void hostSetDefaultFilter(QObject *fileType) = 0;
    virtual QString hostDefaultFileName() = 0;
    virtual void hostSetDefaultFileName(const QString &name) = 0;

    /// Loads element n of the plug-in item array below the others, as a copy of element 0.
    virtual QAction *hostAddPluginMenuElement() = 0;
    /// Appends an empty entry to the plug-in button's drop-down.
    virtual QAction *hostAddPluginDropDownEntry() = 0;
    /// The separator between "Plugin Manager" and the plug-in items.
    virtual QAction *hostPluginMenuSeparator() = 0;

    /// Held while plug-in code runs outside the window's own calls (the
    /// manager dialog's commands): the window keeps the plug-ins until every
    /// such token is gone. Null when the window has nothing to keep.
    virtual std::shared_ptr<void> hostPluginCall() { return {}; }
};
