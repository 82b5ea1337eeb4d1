#include "PluginManagerForm.h"

#include "Guard.h"
#include "LedgerixLibrary.h"
#include "PluginManager.h"
#include "PrintOrigin.h"
#include "PropertyStore.h"
#include "RuntimeErrors.h"
#include "Twips.h"
#include "VariantHelpers.h"
#include "WindowPosition.h"
#include "WrenlogPlugin.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>

#include <cmath>
#include <utility>

const QString PluginManagerForm::defaultColumnWidths = QStringLiteral("2000|1800|800|800");

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginManagerForm") + QLatin1String(procedure);
}

// Design of the window, in twips.
constexpr int designClientWidth = 7050;
constexpr int designClientHeight = 3540;
constexpr int listLeft = 120;
constexpr int listTop = 360;
constexpr int listBottomAllowance = 480;
constexpr int panelWidth = 1455;
// The smallest the frame may be dragged, in pixels.
constexpr int minimumTrackingWidth = 286;
constexpr int minimumTrackingHeight = 256;

const QString columnHeaders = QStringLiteral("Run at sartup / Name|Author|Version|Running");

constexpr int keyRole = Qt::UserRole;
constexpr int tagRole = Qt::UserRole + 1;

int px(int twips)
{
    return Twips::toPixelsX(twips);
}

int py(int twips)
{
    return Twips::toPixelsY(twips);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), py(top), px(width), py(height));
}

QString asText(const QVariant &value)
{
    return Variants::toText(value).value_or(value.toString());
}

/// A start-up entry as yes or no: True, False, numbers and numeric text;
/// anything else (the empty text of a missing entry too) is a type mismatch.
bool entryIsYes(const QVariant &entry)
{
    const QString text = asText(entry).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = Variants::toDouble(entry);
    if (!number)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    return *number != 0.0;
}

QPushButton *makeButton(QWidget *parent, const QString &text, int top)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(twipsRect(120, top, 1215, 375));
    return button;
}

} // namespace

PluginManagerForm::PluginManagerForm(QWidget *parent)
    : FormWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("PluginManagerForm"));
    setWindowTitle(QStringLiteral("Plugin Manager"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);

    m_lblListTitle = new QLabel(QStringLiteral("&Plugin List:"), this);
    m_lblListTitle->setGeometry(twipsRect(150, 120, 765, 195));

    m_lvwPlugins = new QTreeWidget(this);
    m_lvwPlugins->setObjectName(QStringLiteral("lvwPlugins"));
    m_lvwPlugins->setGeometry(twipsRect(listLeft, listTop, 5415, 3015));
    m_lvwPlugins->setRootIsDecorated(false);
    m_lvwPlugins->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwPlugins->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwPlugins->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwPlugins->header()->setStretchLastSection(false);
    m_lblListTitle->setBuddy(m_lvwPlugins);

    m_picButtons = new QWidget(this);
    m_cmdClose = makeButton(m_picButtons, QStringLiteral("&Close"), 360);
    m_cmdRun = makeButton(m_picButtons, QStringLiteral("&Run Now"), 960);
    m_cmdProperties = makeButton(m_picButtons, QStringLiteral("&Properties..."), 1440);
    m_cmdRun->setEnabled(false);
    m_cmdProperties->setEnabled(false);

    connect(m_cmdClose, &QPushButton::clicked, this, &PluginManagerForm::cmdClose_Click);
    connect(m_cmdRun, &QPushButton::clicked, this, &PluginManagerForm::cmdRun_Click);
    connect(m_cmdProperties, &QPushButton::clicked, this, &PluginManagerForm::cmdProperties_Click);
    connect(m_lvwPlugins, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { lvwPlugins_ItemClick(item); });
    // The keyboard moves the current row too; the buttons follow every move
    // but the list's own refill, after which Run Now sets them itself.
    connect(m_lvwPlugins, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (!m_refilling && current)
            lvwPlugins_ItemClick(current);
    });

    resize(px(designClientWidth), py(designClientHeight));
    layoutControls();
}

PluginManagerForm::~PluginManagerForm() = default;

// ---- Loading and unloading -----------------------------------------------

void PluginManagerForm::Execute(PluginManager *oPluginManager)
{
    passOn(label(".Execute"), [&] {
        if (!oPluginManager)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        m_manager = oPluginManager;
        m_startUp = oPluginManager->PropertyStores();
        if (!m_loaded) {
            m_loaded = true;
            Form_Load();
        }
        show();
        updateMinimumSize(); // the frame is known only once the window shows
        raise();
        activateWindow();
    });
}

void PluginManagerForm::Form_Load()
{
    reportFailure(label(".Form_Load"), [&] {
        updateMinimumSize();
        QVariant extra;
        WindowPosition::Restore(*this, extra);
        const QString saved = extra.isValid() ? asText(extra) : QString();
        m_columnWidths = saved.isEmpty() ? defaultColumnWidths : saved;
        SetupListView();
        RefreshList();
        m_lvwPlugins->clearSelection();
    });
}

void PluginManagerForm::closeEvent(QCloseEvent *event)
{
    // Closed while one of its commands waits for a plug-in: the dialog stays
    // allocated until that command has returned.
    if (m_pluginCalls > 0 && testAttribute(Qt::WA_DeleteOnClose)) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        m_deleteWhenIdle = true;
    }
    if (!m_unloaded && m_loaded) {
        reportFailure(label(".Form_QueryUnload"),
                      [&] { LedgerixLibrary::predeclared().KSSaveFormParams(this, columnWidths(), true); });
    }
    m_unloaded = true;
    event->accept();
}

// ---- The list ------------------------------------------------------------

void PluginManagerForm::SetupListView()
{
    passOn(label(".SetupListView"), [&] {
        m_lvwPlugins->setColumnCount(0);
        const QStringList headers = columnHeaders.split(QLatin1Char('|'));
        const QStringList widths = m_columnWidths.split(QLatin1Char('|'));
        if (widths.size() < headers.size())
            RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
        QList<int> pixels;
        for (const QString &width : widths.first(headers.size())) {
            const std::optional<qint32> twips = Variants::toInt32(width);
            if (!twips)
                RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
            pixels.append(px(*twips));
        }
        m_lvwPlugins->setColumnCount(int(headers.size()));
        m_lvwPlugins->setHeaderLabels(headers);
        for (int i = 0; i < pixels.size(); ++i)
            m_lvwPlugins->header()->resizeSection(i, pixels.at(i));
        m_columnWidths = widths.first(headers.size()).join(QLatin1Char('|'));
    });
}

void PluginManagerForm::RefreshList()
{
    passOn(label(".RefreshList"), [&] {
        const QScopedValueRollback refilling(m_refilling, true);
        m_lvwPlugins->clear();
        if (!m_manager)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        const qint32 count = m_manager->PluginCount();
        for (qint32 i = 1; i <= count; ++i) {
            WrenlogPlugin *plugin = m_manager->Plugin(i);
            auto *row = new QTreeWidgetItem(m_lvwPlugins);
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            row->setData(0, keyRole, plugin->Key());
            row->setText(0, asText(plugin->Name()));
            row->setText(1, asText(plugin->Author()));
            row->setText(2, asText(plugin->Version()));
            row->setText(3, plugin->IsRunning() ? QStringLiteral("Yes") : QStringLiteral("No"));
            const QString comments = asText(plugin->Comments());
            for (int column = 0; column < 4; ++column)
                row->setToolTip(column, comments);
            row->setData(0, tagRole, plugin->HasProperties());
            row->setCheckState(0, Qt::Unchecked);
            bool checked = false;
            // An entry that is no yes/no value leaves the box clear; the
            // rest of the row is already filled in.
            if (auto failure = captureFailure([&] {
                    if (!m_startUp)
                        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
                    checked = entryIsYes(m_startUp->GetProperty(plugin->Key()));
                })) {
                if (failure->number() != RuntimeErrors::TypeMismatch)
                    throw *failure;
            }
            row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        }
        // As the list control does when it is filled, the first row is selected.
        if (QTreeWidgetItem *first = m_lvwPlugins->topLevelItem(0)) {
            m_lvwPlugins->setCurrentItem(first);
            first->setSelected(true);
        }
    });
}

void PluginManagerForm::SaveStartUpProperties()
{
    passOn(label(".SaveStartUpProperties"), [&] {
        if (!m_startUp)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        for (int i = 0; i < m_lvwPlugins->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = m_lvwPlugins->topLevelItem(i);
            m_startUp->SetProperty(row->data(0, keyRole).toString(), row->checkState(0) == Qt::Checked);
        }
    });
}

QString PluginManagerForm::columnWidths() const
{
    const QStringList saved = m_columnWidths.split(QLatin1Char('|'));
    QStringList widths;
    for (int i = 0; i < m_lvwPlugins->columnCount(); ++i) {
        const int pixels = m_lvwPlugins->header()->sectionSize(i);
        // An unchanged column keeps its twips exactly: a round trip through
        // pixels would shave a little off at every close.
        const std::optional<qint32> before = Variants::toInt32(saved.value(i));
        if (before && px(*before) == pixels)
            widths.append(QString::number(*before));
        else
            widths.append(QString::number(std::lround(Twips::fromPixelsX(pixels))));
    }
    return widths.join(QLatin1Char('|'));
}

QTreeWidgetItem *PluginManagerForm::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_lvwPlugins->selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

void PluginManagerForm::setButtonsFor(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (!m_manager)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    // Asked now: the row was filled in before Run Now or a plug-in of its own
    // accord may have changed them.
    WrenlogPlugin *plugin = m_manager->Plugin(item->data(0, keyRole).toString());
    m_cmdProperties->setEnabled(plugin->HasProperties());
    m_cmdRun->setEnabled(!plugin->IsRunning());
}

// ---- Event procedures ----------------------------------------------------

void PluginManagerForm::lvwPlugins_ItemClick(QTreeWidgetItem *Item)
{
    reportFailure(label(".lvwPlugins_ItemClick"), [&] { setButtonsFor(Item); });
}

void PluginManagerForm::cmdClose_Click()
{
    reportFailure(label(".cmdClose_Click"), [&] {
        SaveStartUpProperties();
        close();
    });
}

void PluginManagerForm::callPlugin(const char *procedure, const std::function<void(WrenlogPlugin &)> &call,
                                   const std::function<void()> &then)
{
    const CallScope scope(*this);
    reportFailure(label(procedure), [&] {
        QTreeWidgetItem *row = selectedRow();
        if (!row || !m_manager)
            return;
        // Declared last, dropped first: a main window closed during the call
        // releases its plug-ins (and this dialog, later) when it goes.
        const std::shared_ptr<void> hostCall = m_manager->pluginCall();
        // What the plug-in prints meanwhile comes from its key.
        const QString key = row->data(0, keyRole).toString();
        const PrintOrigin::Scope origin(key);
        call(*m_manager->Plugin(key));
        if (m_unloaded || !m_manager)
            return;
        if (then)
            then();
    });
}

PluginManagerForm::CallScope::CallScope(PluginManagerForm &form)
    : m_form(form)
{
    ++m_form.m_pluginCalls;
}

PluginManagerForm::CallScope::~CallScope()
{
    if (--m_form.m_pluginCalls == 0 && std::exchange(m_form.m_deleteWhenIdle, false))
        m_form.deleteLater();
}

void PluginManagerForm::cmdRun_Click()
{
    callPlugin(
        ".cmdRun_Click", [](WrenlogPlugin &plugin) { plugin.Run(); },
        [this] {
            RefreshList();
            setButtonsFor(selectedRow());
        });
}

void PluginManagerForm::cmdProperties_Click()
{
    callPlugin(".cmdProperties_Click", [](WrenlogPlugin &plugin) { plugin.ShowProperties(); }, {});
}

// ---- Size ----------------------------------------------------------------

void PluginManagerForm::updateMinimumSize()
{
    const QSize frameExtra = frameGeometry().size() - size();
    setMinimumSize(std::max(0, minimumTrackingWidth - frameExtra.width()),
                   std::max(0, minimumTrackingHeight - frameExtra.height()));
}

void PluginManagerForm::layoutControls()
{
    m_picButtons->setGeometry(width() - px(panelWidth), 0, px(panelWidth), height());
    const int listWidth = m_picButtons->x() - px(listLeft);
    const int listHeight = frameGeometry().height() - (py(listTop) + py(listBottomAllowance));
    // A window too small for the list keeps the list as it was.
    if (listWidth > 0 && listHeight > 0)
        m_lvwPlugins->setGeometry(px(listLeft), py(listTop), listWidth, listHeight);
}

void PluginManagerForm::resizeEvent(QResizeEvent *event)
{
    FormWindow::resizeEvent(event);
    layoutControls();
}
