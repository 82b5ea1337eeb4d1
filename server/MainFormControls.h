#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>

class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;
class RichTextView;
class WrenlogMainForm;

/**
 * The controls of the debug window, built once with their design captions,
 * keys, tooltips and initial states. WrenlogMainForm owns one and gives the
 * commands their meaning; this class only lays the window out.
 */
class MainFormControls
{
public:
    explicit MainFormControls(WrenlogMainForm &form);

    /// The toolbar image with the given key (Open ... Translucent).
    QIcon image(const QString &key) const;
    /// Places the toolbar, the container and its children for the form's
    /// client size, as a resize does.
    void layout(const QSize &clientSize);

    QToolBar *tbrMainToolbar = nullptr;
    QWidget *picContainer = nullptr;
    QLineEdit *txtLable = nullptr;
    RichTextView *rtbDetails = nullptr;
    QMenu *mnuContext = nullptr;
    QMenu *mnuPlugins = nullptr;
    QMenu *btnPluginsDropDown = nullptr;
    QToolButton *btnPluginsButton = nullptr;

    QHash<QString, QAction *> buttons; ///< by key, btnOpen ... btnClose
    QHash<QString, QAction *> menuItems; ///< by name, mnuOpen ... mnuQuit
    QList<QAction *> mnuPluginItem;
    QList<QAction *> mnuPluginMenus;
    QList<QAction *> dropDownEntries; ///< position n at index n - 1

    /// The keys of the image list, in order.
    static const QStringList imageKeys;

private:
    void buildToolbar(WrenlogMainForm &form);
    void buildContainer(WrenlogMainForm &form);
    void buildContextMenu(WrenlogMainForm &form);

    QHash<QString, QIcon> m_images;
};
