#include "PluginMenuItem.h"

#include "Guard.h"
#include "PrintOrigin.h"
#include "RuntimeErrors.h"

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginMenuItem") + QLatin1String(procedure);
}

} // namespace

PluginMenuItem::PluginMenuItem(QObject *parent)
    : QObject(parent)
    , m_owner(PrintOrigin::current())
{}

// The elements belong to the window and go with it.
QAction *PluginMenuItem::menuElement() const
{
    if (!m_menuElement)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_menuElement;
}

QAction *PluginMenuItem::dropDownEntry() const
{
    if (!m_dropDownEntry)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_dropDownEntry;
}

QString PluginMenuItem::Caption() const
{
    return passOn(label(".Caption (Get)"), [&] {
        QAction *element = menuElement();
        return element->isSeparator() ? QStringLiteral("-") : element->text();
    });
}

void PluginMenuItem::setCaption(const QString &caption)
{
    passOn(label(".Caption (Let)"), [&] {
        QAction *element = menuElement();
        QAction *entry = dropDownEntry();
        // "-" makes the element a separator, which is a line only (styles
        // draw a separator's text beside it); Caption still reads "-".
        const bool separator = caption == QLatin1String("-");
        element->setText(separator ? QString() : caption);
        element->setSeparator(separator);
        entry->setText(caption);
    });
}

void PluginMenuItem::setEnabled(bool enabled)
{
    passOn(label(".Enabled (Let)"), [&] {
        menuElement()->setEnabled(enabled);
        dropDownEntry()->setEnabled(enabled);
    });
}

bool PluginMenuItem::Enabled() const
{
    return passOn(label(".Enabled (Get)"), [&] { return menuElement()->isEnabled(); });
}

void PluginMenuItem::setChecked(bool checked)
{
    passOn(label(".Checked (Let)"), [&] {
        QAction *element = menuElement();
        m_checked = checked;
        // Checkable only while marked: an unmarked entry shows no empty box.
        if (checked)
            element->setCheckable(true);
        element->setChecked(checked);
        if (!checked)
            element->setCheckable(false);
    });
}

bool PluginMenuItem::Checked() const
{
    // Passes failures on unchanged. The mark the plug-in set, also inside
    // Click, while the menu's own flip is being undone.
    menuElement();
    return m_checked;
}

void PluginMenuItem::setVisible(bool visible)
{
    // The label keeps its historical spelling: error logs and plug-ins match on it.
    passOn(label(".Visisble (Let)"), [&] {
        menuElement()->setVisible(visible);
        dropDownEntry()->setVisible(visible);
    });
}

bool PluginMenuItem::Visible() const
{
    return passOn(label(".Visible (Get)"), [&] { return menuElement()->isVisible(); });
}

qint32 PluginMenuItem::Index() const
{
    return passOn(label(".Index (Get)"), [&] {
        menuElement();
        return m_index;
    });
}

void PluginMenuItem::attach(QAction *menuElement, QAction *dropDownEntry, qint32 index)
{
    passOn(label(".Initalize"), [&] {
        if (!menuElement || !dropDownEntry)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        m_menuElement = menuElement;
        m_dropDownEntry = dropDownEntry;
        m_index = index;
        for (QAction *action : {menuElement, dropDownEntry}) {
            action->setEnabled(true);
            action->setVisible(true);
        }
        // Picking a marked (checkable) entry flips its mark before any
        // handler of the click runs; only the plug-in sets it, so the flip is
        // undone as it happens.
        m_checked = menuElement->isChecked();
        menuElement->setCheckable(m_checked);
        connect(menuElement, &QAction::toggled, this, [this](bool checked) {
            if (m_menuElement && checked != m_checked)
                m_menuElement->setChecked(m_checked);
        });
    });
}

void PluginMenuItem::MenuClick()
{
    passOn(label(".MenuClick"), [&] {
        const PrintOrigin::Scope origin(m_owner);
        emit Click();
    });
}
