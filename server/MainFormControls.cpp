#include "MainFormControls.h"

#include "RichTextView.h"
#include "Twips.h"
#include "WrenlogMainForm.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

struct ButtonDesign
{
    const char *key; // empty for a separator
    const char *image;
    bool checkable;
    const char *tooltip;
};

// Tooltip texts are the published ones, spelling included.
const ButtonDesign toolbarDesign[] = {
    {"btnOpen", "Open", false, "Open a previously saved degug window"},
    {"btnSave", "Save", false, "Save the debug text as an RTF file"},
    {"btnEraseAll", "Erase", false, "Erase all of the debug text"},
    {"", "", false, ""},
    {"btnCut", "Cut", false, "Cut"},
    {"btnCopy", "Copy", false, "Copy"},
    {"btnPaste", "Paste", false, "Paste"},
    {"btnDelete", "Delete", false, "Delete"},
    {"", "", false, ""},
    {"btnOnTop", "OnTop", true, "Set's the 'Wrenlog' window to be always on top"},
    {"btnFold", "Fold", true, "Fold / Unfold window"},
    {"btnPlugins", "Plugins", false, "Launch an Wrenlog ! Plugin"},
    {"", "", false, ""},
    {"btnClose", "Quit", false, "Quit"},
};

struct MenuDesign
{
    const char *name;
    const char *caption;
};

const MenuDesign menuBeforePlugins[] = {
    {"mnuOpen", "Open..."},  {"mnuSave", "Save As..."}, {"mnuErase", "Erase All"},     {"mnuSep1", "-"},
    {"mnuCut", "Cut"},       {"mnuCopy", "Copy"},       {"mnuPaste", "Paste"},         {"mnuSep2", "-"},
    {"mnuDelete", "Delete"}, {"mnuSep5", "-"},          {"mnuOnTop", "Always On Top"}, {"mnuFold", "Fold"},
    {"mnuSep3", "-"},
};

// The images come from the desktop's icon theme by their freedesktop names, so
// the toolbar looks like the desktop's other programs; a machine without a
// theme (or without one of the names) gets our own drawings in the same
// places. The two on-top images share a picture: translucent is the on-top
// one half transparent.
struct ImageDesign
{
    const char *key;
    const char *themeName;
};

const ImageDesign imageDesign[] = {
    {"Open", "document-open"},
    {"Save", "document-save-as"},
    {"Erase", "edit-clear-all"},
    {"Quit", "application-exit"},
    {"OnTop", "window-keep-above"},
    {"Copy", "edit-copy"},
    {"Cut", "edit-cut"},
    {"Delete", "edit-delete"},
    {"Paste", "edit-paste"},
    {"Fold", "go-up"},
    {"Plugins", "application-x-addon"},
    {"Translucent", "window-keep-above"},
};

QIcon halfTransparent(const QIcon &icon)
{
    QIcon out;
    for (const int size : {16, 22, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setOpacity(0.45);
        icon.paint(&painter, pixmap.rect());
        painter.end();
        out.addPixmap(pixmap);
    }
    return out;
}

QIcon toolbarImage(const QString &key)
{
    const QIcon bundled(QStringLiteral(":/toolbar/") + key + QStringLiteral(".svg"));
    for (const ImageDesign &design : imageDesign) {
        if (key != QLatin1String(design.key))
            continue;
        const QString name = QString::fromLatin1(design.themeName);
        if (!QIcon::hasThemeIcon(name))
            return bundled;
        const QIcon themed = QIcon::fromTheme(name);
        return key == u"Translucent" ? halfTransparent(themed) : themed;
    }
    return bundled;
}

QAction *namedAction(QObject *parent, const QString &name, const QString &caption)
{
    auto *action = new QAction(parent);
    action->setObjectName(name);
    // "-" marks a separator; styles draw a separator's text beside its line,
    // so it has none.
    if (caption == QLatin1String("-"))
        action->setSeparator(true);
    else
        action->setText(caption);
    return action;
}

} // namespace

const QStringList MainFormControls::imageKeys = {
    QStringLiteral("Open"),  QStringLiteral("Save"), QStringLiteral("Erase"),   QStringLiteral("Quit"),
    QStringLiteral("OnTop"), QStringLiteral("Copy"), QStringLiteral("Cut"),     QStringLiteral("Delete"),
    QStringLiteral("Paste"), QStringLiteral("Fold"), QStringLiteral("Plugins"), QStringLiteral("Translucent"),
};

MainFormControls::MainFormControls(WrenlogMainForm &form)
{
    for (const QString &key : imageKeys)
        m_images.insert(key, toolbarImage(key));
    buildToolbar(form);
    buildContainer(form);
    buildContextMenu(form);
}

QIcon MainFormControls::image(const QString &key) const
{
    return m_images.value(key);
}

void MainFormControls::buildToolbar(WrenlogMainForm &form)
{
    tbrMainToolbar = new QToolBar(&form);
    tbrMainToolbar->setObjectName(QStringLiteral("tbrMainToolbar"));
    tbrMainToolbar->setMovable(false);
    tbrMainToolbar->setFloatable(false);
    tbrMainToolbar->setIconSize(QSize(16, 16));
    tbrMainToolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btnPluginsDropDown = new QMenu(tbrMainToolbar);
    btnPluginsDropDown->setObjectName(QStringLiteral("btnPluginsDropDown"));
    for (const ButtonDesign &design : toolbarDesign) {
        if (!*design.key) {
            tbrMainToolbar->addSeparator();
            continue;
        }
        auto *action = new QAction(image(QString::fromLatin1(design.image)), QString::fromLatin1(design.tooltip),
                                   tbrMainToolbar);
        action->setObjectName(QString::fromLatin1(design.key));
        action->setToolTip(QString::fromLatin1(design.tooltip));
        action->setCheckable(design.checkable);
        if (QLatin1String(design.key) == QLatin1String("btnPlugins"))
            action->setMenu(btnPluginsDropDown);
        tbrMainToolbar->addAction(action);
        buttons.insert(action->objectName(), action);
    }
    btnPluginsButton = qobject_cast<QToolButton *>(tbrMainToolbar->widgetForAction(buttons.value("btnPlugins")));
    if (btnPluginsButton)
        btnPluginsButton->setPopupMode(QToolButton::MenuButtonPopup);
    // Compact buttons, a 16-pixel image with 3 pixels around it as the design's
    // toolbar had: the styles' own buttons are wider, and at the design width
    // the last buttons would hide behind the overflow chevron.
    const int side = tbrMainToolbar->iconSize().width() + 6;
    tbrMainToolbar->layout()->setSpacing(0);
    for (QAction *action : std::as_const(buttons)) {
        QWidget *button = tbrMainToolbar->widgetForAction(action);
        if (!button)
            continue;
        const int arrow = button == btnPluginsButton
            ? button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button)
            : 0;
        button->setFixedSize(side + arrow, side);
    }
}

void MainFormControls::buildContainer(WrenlogMainForm &form)
{
    picContainer = new QWidget(&form);
    picContainer->setObjectName(QStringLiteral("picContainer"));
    picContainer->setGeometry(0, Twips::toPixelsY(360), Twips::toPixelsX(3975), Twips::toPixelsY(3615));

    txtLable = new QLineEdit(QStringLiteral("Debug Text:"), picContainer);
    txtLable->setObjectName(QStringLiteral("txtLable"));
    txtLable->setReadOnly(true);
    txtLable->setFrame(false);
    txtLable->setFocusPolicy(Qt::ClickFocus); // skipped by the Tab key
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSizeF(8.25);
    labelFont.setBold(true);
    txtLable->setFont(labelFont);
    QPalette palette = txtLable->palette();
    palette.setColor(QPalette::Base, QColor(200, 232, 213));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    txtLable->setPalette(palette);
    txtLable->setGeometry(0, 0, Twips::toPixelsX(3600), Twips::toPixelsY(250));

    rtbDetails = new RichTextView(picContainer);
    rtbDetails->setObjectName(QStringLiteral("rtbDetails"));
    QFont viewFont(QStringLiteral("Courier New"));
    viewFont.setPointSize(9);
    rtbDetails->setFont(viewFont);
    rtbDetails->setRightMargin(99999);
    rtbDetails->setGeometry(0, Twips::toPixelsY(240), Twips::toPixelsX(3600), Twips::toPixelsY(3210));
}

void MainFormControls::buildContextMenu(WrenlogMainForm &form)
{
    mnuContext = new QMenu(QStringLiteral("ContextMenu"), &form);
    mnuContext->setObjectName(QStringLiteral("mnuContext"));
    auto add = [&](QMenu *menu, const QString &name, const QString &caption) {
        QAction *action = namedAction(menu, name, caption);
        menu->addAction(action);
        menuItems.insert(name, action);
        return action;
    };
    for (const MenuDesign &design : menuBeforePlugins)
        add(mnuContext, QString::fromLatin1(design.name), QString::fromLatin1(design.caption));
    menuItems.value("mnuOnTop")->setCheckable(true);
    menuItems.value("mnuFold")->setCheckable(true);

    mnuPlugins = mnuContext->addMenu(QStringLiteral("Plugins"));
    mnuPlugins->setObjectName(QStringLiteral("mnuPluginsMenu"));
    mnuPlugins->menuAction()->setObjectName(QStringLiteral("mnuPlugins"));
    menuItems.insert(QStringLiteral("mnuPlugins"), mnuPlugins->menuAction());
    add(mnuPlugins, QStringLiteral("mnuPluginManager"), QStringLiteral("Plugin Manager"))->setVisible(false);
    add(mnuPlugins, QStringLiteral("mnuSep7"), QStringLiteral("-"))->setVisible(false);
    QAction *none = add(mnuPlugins, QStringLiteral("mnuPluginItem"), QStringLiteral("(None)"));
    none->setEnabled(false);
    mnuPluginItem.append(none);

    add(mnuContext, QStringLiteral("mnuSep6"), QStringLiteral("-"))->setVisible(false);
    QAction *stub = add(mnuContext, QStringLiteral("mnuPluginMenus"), QStringLiteral("(Extra Menus Stub)"));
    stub->setVisible(false);
    mnuPluginMenus.append(stub);
    add(mnuContext, QStringLiteral("mnuSep4"), QStringLiteral("-"));
    add(mnuContext, QStringLiteral("mnuQuit"), QStringLiteral("Quit"));
}

void MainFormControls::layout(const QSize &clientSize)
{
    const int toolbarHeight = tbrMainToolbar->sizeHint().height();
    tbrMainToolbar->setGeometry(0, 0, clientSize.width(), toolbarHeight);
    const int left = picContainer->x();
    picContainer->setGeometry(left, toolbarHeight, std::max(0, clientSize.width() - 2 * left),
                              std::max(0, clientSize.height() - toolbarHeight));
    const QRect inner = picContainer->contentsRect();
    rtbDetails->setGeometry(rtbDetails->x(), rtbDetails->y(), std::max(0, inner.width() - rtbDetails->x()),
                            std::max(0, inner.height() - rtbDetails->y()));
    txtLable->setGeometry(txtLable->x(), txtLable->y(), std::max(0, inner.width() - txtLable->x()), txtLable->height());
}
