#include "MainFormPluginHost.h"

#include "Guard.h"
#include "RichTextView.h"
#include "RuntimeErrors.h"
#include "WrenlogMainForm.h"

#include <QLineEdit>
#include <QToolBar>

namespace {

// The window's file-type settings travel as properties of the window itself,
// where the open and save commands read them.
const char *const defaultFilterProperty = "DefaultFilter";
const char *const defaultFileNameProperty = "DefaultFileName";

} // namespace

MainFormPluginHost::MainFormPluginHost(WrenlogMainForm &form)
    : m_form(&form)
{}

MainFormPluginHost::~MainFormPluginHost() = default;

WrenlogMainForm *MainFormPluginHost::form()
{
    if (!m_form)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_form;
}

QWidget *MainFormPluginHost::hostForm()
{
    return form();
}
RichTextView *MainFormPluginHost::hostRichText()
{
    return form()->rtbDetails();
}
QLineEdit *MainFormPluginHost::hostTopText()
{
    return form()->txtLable();
}
QObject *MainFormPluginHost::hostToolBar()
{
    return form()->tbrMainToolbar();
}

void MainFormPluginHost::hostDebugPrint(const QString &text, qint32 colour, bool crLf)
{
    form()->DebugPrint(text, colour, crLf);
}

void MainFormPluginHost::hostDebugShow(const QString &)
{
    form()->DebugShow();
}

void MainFormPluginHost::hostEraseAll()
{
    form()->EraseAll();
}
bool MainFormPluginHost::hostOnTop()
{
    return form()->OnTop();
}
void MainFormPluginHost::hostSetOnTop(bool onTop)
{
    form()->setOnTop(onTop);
}
bool MainFormPluginHost::hostFold()
{
    return form()->Fold();
}
void MainFormPluginHost::hostSetFold(bool fold)
{
    form()->setFold(fold);
}

QObject *MainFormPluginHost::hostFileTypes()
{
    return form()->property("FileTypes").value<QObject *>();
}

QObject *MainFormPluginHost::hostDefaultFilter()
{
    return form()->property(defaultFilterProperty).value<QObject *>();
}

void MainFormPluginHost::hostSetDefaultFilter(QObject *fileType)
{
    form()->setProperty(defaultFilterProperty, QVariant::fromValue(fileType));
}

QString MainFormPluginHost::hostDefaultFileName()
{
    return form()->property(defaultFileNameProperty).toString();
}

void MainFormPluginHost::hostSetDefaultFileName(const QString &name)
{
    form()->setProperty(defaultFileNameProperty, name);
}

QAction *MainFormPluginHost::hostAddPluginMenuElement()
{
    return form()->LoadPluginMenuItem();
}
QAction *MainFormPluginHost::hostAddPluginDropDownEntry()
{
    return form()->AddPluginDropDownEntry();
}
QAction *MainFormPluginHost::hostPluginMenuSeparator()
{
    return form()->menuItem(QStringLiteral("mnuSep7"));
}

std::shared_ptr<void> MainFormPluginHost::hostPluginCall()
{
    if (!m_form)
        return {};
    return std::make_shared<WrenlogMainForm::PluginCall>(*m_form);
}
