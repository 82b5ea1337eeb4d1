#pragma once

#include "FileType.h"
#include "FormWindow.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"

#include <QDateTime>
#include <QIcon>
#include <QList>
#include <QPointer>

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;

/**
 * The note list: a narrow tool window beside the debug window listing the
 * notes of the Files folder. It owns the current note, whose text is the
 * debug window's text and whose name is the top text, and carries out every
 * note operation. It docks against the debug window's right edge while
 * "Track Main Window Movements" is checked, slides open and shut, and keeps
 * its settings in the plug-in's property store.
 *
 *     auto *list = new TackpadPopupForm;
 *     list->Execute(window, store);   // loads hidden; shows itself if it was shown last time
 */
class TackpadPopupForm : public FormWindow
{
    Q_OBJECT

public:
    explicit TackpadPopupForm(QWidget *parent = nullptr);
    ~TackpadPopupForm() override;

    void Execute(PluginWindow *oWindow, PropertyStore *oPropertyStore);

    void RefreshList();
    void Expand();
    void RestorePosition();
    void SavePosition();
    void DockToMainWindow();

    void LoadNote(const QString &sPath);
    void SaveNote();
    void NewNote();
    /// NewNote for a note made at a given moment.
    void NewNoteAt(const QDateTime &at);
    void RestoreLook();
    static void applyNoteLook(PluginWindow *window);

    /// The current note's path; empty when there is none.
    QString currentNote() const { return m_currentNote; }
    bool expanded() const { return m_expanded; }
    bool tracking() const;

    // Commands of the context menu and the list, as the user triggers them.
    void mnuDisconnect_Click();
    void mnuDelete_Click();
    void mnuTrack_Click();
    void mnuAbout_Click();
    /// Readies the context menu for a right click over an item or over empty space.
    void preparePopUp(bool overItem);

    QListWidget *lvwNotes() const { return m_lvwNotes; }
    QMenu *mnuPopUp() const { return m_mnuPopUp; }
    QAction *menuAction(const QString &name) const;
    PluginMenuItem *mnuExpandItem() const { return moMnuExpand; }
    PluginMenuItem *mnuNewItem() const { return moMnuNew; }

    /// Slide step in twips (60); tests take bigger steps.
    static void setSlideStep(int twips);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void sizeListView();
    void clearSelection();
    QListWidgetItem *selectedItem() const;
    void setMainHeight();
    void saveSettings();

    void lvwNotes_ItemClick(QListWidgetItem *item);
    void lvwNotes_MouseUp(Qt::MouseButton button, const QPoint &position);

    void moWindow_BeforeOpen(bool &Cancel);
    void moWindow_AfterOpen(const QString &Path);
    void moWindow_BeforeSave(bool &Cancel);
    void moWindow_BeforeEraseAll(bool &Cancel);
    void moWindow_DebugPrint(const QString &Text, qint32 Colour, bool CrLfAtEnd, bool &Cancel);
    void moWindow_TopTextKeyPress(qint16 KeyAscii);
    void moWindow_BeforeQuit(bool &Cancel);
    void moWindow_Move();
    void moWindow_Fold(bool IsFolded);
    void moWindow_OnTop(bool IsOnTop);
    void moWindow_Translucency(bool Translucent);

    QPointer<PluginWindow> moWindow;
    QPointer<PluginMenuItem> moMnuExpand;
    QPointer<PluginMenuItem> moMnuNew;
    QPointer<FileType> m_fileType;
    QPointer<PropertyStore> m_store;
    QString m_currentNote;
    bool m_expanded = false;
    qint32 m_expandedWidth = 2610;
    bool m_wasExpandedBeforeFold = false;
    bool m_translucent = false;
    bool m_loaded = false;
    bool m_resizing = false;

    QListWidget *m_lvwNotes;
    QMenu *m_mnuPopUp;
    QList<QIcon> ilsNotes;
};
