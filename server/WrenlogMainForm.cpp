#include "WrenlogMainForm.h"

#include "AppFolders.h"
#include "DebugText.h"
#include "Guard.h"
#include "KeyCodes.h"
#include "MainFormControls.h"
#include "NotificationCode.h"
#include "NotificationSink.h"
#include "RichTextView.h"
#include "TranslucentWindows.h"
#include "Twips.h"
#include "WindowPosition.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <malloc.h>
#include <utility>

namespace {

PluginManagerFactory &pluginManagerFactory()
{
    static PluginManagerFactory factory;
    return factory;
}

FileCommandsFactory &fileCommandsFactory()
{
    static FileCommandsFactory factory;
    return factory;
}

QString label(const char *procedure)
{
    return QStringLiteral("WrenlogMainForm.") + QLatin1String(procedure);
}

// Design client area of the window, in twips.
constexpr int designClientWidth = 4380;
constexpr int designClientHeight = 4575;
// Narrowest the frame may be dragged, in twips.
constexpr int minimumTrackingWidth = 4470;
// Characters past which emptying the text hands the freed memory back.
constexpr qint64 largeText = 1 << 20;

} // namespace

WrenlogMainForm::WrenlogMainForm(QWidget *parent)
    : FormWindow(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("WrenlogMainForm"));
    setWindowTitle(QStringLiteral("Wrenlog !"));
    m_controls = std::make_unique<MainFormControls>(*this);
    resize(Twips::toPixelsX(designClientWidth), Twips::toPixelsY(designClientHeight));
    connectCommands();
    forwardViewEvents();
    installEventFilter(this);
    const auto children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
    layoutControls();
    updateFrameLimits();
}

WrenlogMainForm::~WrenlogMainForm()
{
    // The controls go while this is still a whole window: their last events
    // (a view losing focus as it dies) then find nobody listening instead of
    // a half-destroyed one.
    m_pluginManager.reset();
    m_fileCommands.reset();
    const auto children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

// ---- Loading and closing -------------------------------------------------

void WrenlogMainForm::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    reportFailure(label("Form_Load"), [&] {
        QVariant extra;
        WindowPosition::Restore(*this, extra);
        if (extra.isValid() && extra.toInt() > 0)
            setHeight(extra.toInt());
        if (fileCommandsFactory())
            m_fileCommands = fileCommandsFactory()(*this);
        Notify(NotificationCode::Ready);
        m_translucencyAllowed = true;
    });
}

bool WrenlogMainForm::Unload()
{
    return close();
}

bool WrenlogMainForm::QueryUnload()
{
    bool cancel = false;
    reportFailure(label("Form_QueryUnload"), [&] {
        Notify(NotificationCode::BeforeQuit, {}, cancel);
        if (m_remoteUnload)
            cancel = true;
    });
    return !cancel;
}

void WrenlogMainForm::closeEvent(QCloseEvent *event)
{
    if (m_unloaded || !QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    // A BeforeQuit handler that let messages run may have seen the window
    // closed meanwhile; that close did the closing work.
    if (m_unloaded)
        return;
    {
        // Kill handlers are plug-in code too.
        const PluginCall call(*this);
        reportFailure(label("Form_Unload"), [&] {
            if (m_loaded)
                WindowPosition::Save(*this, m_unfoldedHeight);
            if (m_pluginManager) {
                m_pluginManager->UnloadManagerDialog();
                m_pluginManager->KillAll();
            }
        });
        releaseOnUnload();
    }
    emit Unloaded();
}

void WrenlogMainForm::releaseOnUnload()
{
    m_unloaded = true;
    // Plug-in code still on the stack would return into freed objects.
    if (m_pluginCalls > 0) {
        m_releasePending = true;
        return;
    }
    releasePlugins();
}

void WrenlogMainForm::releasePlugins()
{
    m_fileCommands.reset();
    m_pluginManager.reset();
}

void WrenlogMainForm::deleteWhenIdle()
{
    if (m_pluginCalls > 0) {
        m_deletePending = true;
        return;
    }
    deleteLater();
}

void WrenlogMainForm::pluginCallsEnded()
{
    if (std::exchange(m_releasePending, false))
        releasePlugins();
    if (std::exchange(m_deletePending, false))
        deleteLater();
}

WrenlogMainForm::PluginCall::PluginCall(WrenlogMainForm &form)
    : m_form(&form)
{
    ++form.m_pluginCalls;
}

WrenlogMainForm::PluginCall::~PluginCall()
{
    if (m_form && --m_form->m_pluginCalls == 0)
        m_form->pluginCallsEnded();
}

// ---- Printing ------------------------------------------------------------

void WrenlogMainForm::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    passOn(QStringLiteral("DebugText"), [&] {
        // A listener that prints from its own DebugPrint handler comes back
        // here; past the bound the innermost call fails instead of the stack.
        if (m_printDepth >= DebugText::maxPrintDepth)
            throw AutomationError(DebugText::outOfStackSpace,
                                  QStringLiteral("Out of stack space: printing re-entered itself "
                                                 "more than %1 levels deep")
                                      .arg(DebugText::maxPrintDepth),
                                  Guard::defaultSource());
        struct DepthGuard
        {
            int &depth;
            explicit DepthGuard(int &d)
                : depth(d)
            {
                ++depth;
            }
            ~DepthGuard() { --depth; }
        } guard(m_printDepth);

        if (heard(NotificationCode::DebugPrint)) {
            bool cancel = false;
            Notify(NotificationCode::DebugPrint, QVariantList {Text, Colour, CrLF}, cancel);
            if (cancel)
                return;
        }
        const qint32 colour = DebugText::ResolveColour(Colour);
        // A print moves the caret and changes the text; when nobody hears of
        // that, the piece can wait for the next frame and go in with the others.
        if (heard(NotificationCode::Change) || heard(NotificationCode::SelChange))
            DebugText::Append(*rtbDetails(), Text, colour, CrLF);
        else
            rtbDetails()->appendLater(Text, colour, CrLF);
    });
}

void WrenlogMainForm::DebugShow()
{
    Notify(NotificationCode::DebugShow);
    show();
    raise();
}

void WrenlogMainForm::EraseAll()
{
    passOn(label("EraseAll"), [&] {
        if (Notify(NotificationCode::BeforeEraseAll))
            return;
        emptyText();
        Notify(NotificationCode::AfterEraseAll);
    });
}

void WrenlogMainForm::Clear()
{
    emptyText();
}

void WrenlogMainForm::emptyText()
{
    RichTextView *view = rtbDetails();
    const bool large = view->heldCharacters() > largeText;
    view->setText(QString());
    // A long text leaves its memory with the allocator, in pieces too small
    // to go back on their own; a debug window emptied after a flood should
    // give it back.
    if (large)
        malloc_trim(0);
}

// ---- Notification path ---------------------------------------------------

void WrenlogMainForm::Notify(qint32 code, const QVariant &values, bool &cancel)
{
    // A closed window tells its killed plug-ins nothing more.
    if (!m_pluginManager || m_unloaded)
        return;
    NotificationSink *sink = m_pluginManager->facade();
    if (!sink || !sink->listensTo(code))
        return;
    const PluginCall call(*this);
    sink->Notify(code, values, cancel);
}

bool WrenlogMainForm::heard(qint32 code) const
{
    if (!m_pluginManager || m_unloaded)
        return false;
    const NotificationSink *sink = m_pluginManager->facade();
    return sink && sink->listensTo(code);
}

bool WrenlogMainForm::Notify(qint32 code, const QVariant &values)
{
    bool cancel = false;
    Notify(code, values, cancel);
    return cancel;
}

// ---- Plug-ins ------------------------------------------------------------

void WrenlogMainForm::setPluginManagerFactory(PluginManagerFactory factory)
{
    pluginManagerFactory() = std::move(factory);
}

void WrenlogMainForm::setFileCommandsFactory(FileCommandsFactory factory)
{
    fileCommandsFactory() = std::move(factory);
}

QStringList WrenlogMainForm::PluginFolders()
{
    return AppFolders::current().pluginFolders();
}

void WrenlogMainForm::setPluginManager(std::unique_ptr<PluginManagerLink> manager)
{
    m_pluginManager = std::move(manager);
}

void WrenlogMainForm::InitPlugins()
{
    passOn(label("InitPlugins"), [&] {
        if (m_pluginManager || m_unloaded || !pluginManagerFactory())
            return;
        m_pluginManager = pluginManagerFactory()(*this);
        if (!m_pluginManager)
            return;
        const PluginCall call(*this);
        m_pluginManager->LoadPlugins(PluginFolders());
        // The scan lets messages run: the window may have closed meanwhile.
        if (m_unloaded)
            return;
        const bool found = m_pluginManager->PluginCount() >= 1;
        menuItem(QStringLiteral("mnuPluginManager"))->setVisible(found);
        toolbarButton(QStringLiteral("btnPlugins"))->setVisible(found);
    });
}

void WrenlogMainForm::MakePrivate()
{
    toolbarButton(QStringLiteral("btnClose"))->setVisible(false);
    toolbarButton(QStringLiteral("btnPlugins"))->setVisible(false);
    menuItem(QStringLiteral("mnuSep3"))->setVisible(false);
    menuItem(QStringLiteral("mnuPlugins"))->setVisible(false);
    QAction *quit = menuItem(QStringLiteral("mnuQuit"));
    quit->setEnabled(false);
    quit->setText(QStringLiteral("Quit (Private Window)"));
    setRemoteUnload(true);
}

void WrenlogMainForm::setRemoteUnload(bool remoteUnload)
{
    m_remoteUnload = remoteUnload;
}

// ---- Controls ------------------------------------------------------------

RichTextView *WrenlogMainForm::rtbDetails() const
{
    return m_controls->rtbDetails;
}
QLineEdit *WrenlogMainForm::txtLable() const
{
    return m_controls->txtLable;
}
QWidget *WrenlogMainForm::picContainer() const
{
    return m_controls->picContainer;
}
QToolBar *WrenlogMainForm::tbrMainToolbar() const
{
    return m_controls->tbrMainToolbar;
}
QMenu *WrenlogMainForm::mnuContext() const
{
    return m_controls->mnuContext;
}
QMenu *WrenlogMainForm::mnuPlugins() const
{
    return m_controls->mnuPlugins;
}

QAction *WrenlogMainForm::toolbarButton(const QString &key) const
{
    return m_controls->buttons.value(key);
}

QToolButton *WrenlogMainForm::toolbarButtonWidget(const QString &key) const
{
    return qobject_cast<QToolButton *>(tbrMainToolbar()->widgetForAction(toolbarButton(key)));
}

QAction *WrenlogMainForm::menuItem(const QString &name) const
{
    return m_controls->menuItems.value(name);
}

int WrenlogMainForm::mnuPluginItemCount() const
{
    return int(m_controls->mnuPluginItem.size());
}

QAction *WrenlogMainForm::mnuPluginItem(int index) const
{
    return m_controls->mnuPluginItem.value(index);
}

QAction *WrenlogMainForm::LoadPluginMenuItem()
{
    QAction *first = m_controls->mnuPluginItem.constFirst();
    const int index = mnuPluginItemCount();
    auto *item = new QAction(first->text(), mnuPlugins());
    item->setObjectName(first->objectName());
    item->setEnabled(first->isEnabled());
    item->setVisible(first->isVisible());
    // Not checkable: the plug-in's item makes it so while it carries a mark.
    item->setCheckable(false);
    mnuPlugins()->addAction(item);
    m_controls->mnuPluginItem.append(item);
    connect(item, &QAction::triggered, this, [this, index] {
        reportFailure(label("mnuPluginItem_Click"), [&] { Notify(NotificationCode::PluginMenuClick, index); });
    });
    return item;
}

QAction *WrenlogMainForm::AddPluginDropDownEntry()
{
    auto *entry = new QAction(QString(), m_controls->btnPluginsDropDown);
    m_controls->btnPluginsDropDown->addAction(entry);
    m_controls->dropDownEntries.append(entry);
    const int position = int(m_controls->dropDownEntries.size());
    connect(entry, &QAction::triggered, this, [this, position] {
        reportFailure(label("tbrMainToolbar_ButtonMenuClick"),
                      [&] { Notify(NotificationCode::PluginMenuClick, position); });
    });
    return entry;
}

QAction *WrenlogMainForm::pluginDropDownEntry(int position) const
{
    return m_controls->dropDownEntries.value(position - 1);
}

int WrenlogMainForm::mnuPluginMenusCount() const
{
    return int(m_controls->mnuPluginMenus.size());
}

QAction *WrenlogMainForm::mnuPluginMenus(int index) const
{
    return m_controls->mnuPluginMenus.value(index);
}

QAction *WrenlogMainForm::LoadPluginMenusElement()
{
    QAction *first = m_controls->mnuPluginMenus.constFirst();
    auto *element = new QAction(first->text(), mnuContext());
    element->setObjectName(first->objectName());
    element->setVisible(first->isVisible());
    mnuContext()->insertAction(menuItem(QStringLiteral("mnuSep4")), element);
    m_controls->mnuPluginMenus.append(element);
    return element;
}

void WrenlogMainForm::PrepareContextMenu()
{
    menuItem(QStringLiteral("mnuSep6"))->setVisible(mnuPluginMenusCount() >= 2);
    mnuPluginItem(0)->setVisible(mnuPluginItemCount() < 2);
}

void WrenlogMainForm::ShowContextMenu(const QPoint &globalPos)
{
    PrepareContextMenu();
    mnuContext()->popup(globalPos);
}
