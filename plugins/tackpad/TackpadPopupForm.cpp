#include "TackpadPopupForm.h"

#include "GlobalLibrary.h"
#include "Guard.h"
#include "NoteFiles.h"
#include "PluginMenu.h"
#include "PluginWindowFont.h"
#include "RuntimeErrors.h"
#include "SplashForm.h"
#include "TackpadErrors.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPainter>

#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr qint32 noteBackColour = 0xDBFDFB;
constexpr qint16 enterKey = 13;
constexpr int f5Key = 116;
constexpr int askYesNo = 36;
const QString caption = QStringLiteral("KS Tackpad");

int &slideStep()
{
    static int step = 60;
    return step;
}

QString label(const char *member)
{
    return QStringLiteral("TackpadPopupForm.") + QLatin1StringView(member);
}

QColor fromColourRef(qint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Booleans come back from the store as the text True or False; numbers count
// too, as they always have. Anything else is unreadable.
std::optional<bool> asBoolean(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (isNumber)
        return number != 0;
    return std::nullopt;
}

std::optional<int> asTwips(const QVariant &value)
{
    bool isNumber = false;
    const double number = value.toString().trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return std::nullopt;
    return int(std::lround(number));
}

QIcon notePicture(const QColor &paper)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(0x80, 0x70, 0x30));
    painter.setBrush(paper);
    painter.drawRect(2, 1, 11, 13);
    painter.setPen(QColor(0xb0, 0xa8, 0x79));
    for (int y = 5; y < 13; y += 3)
        painter.drawLine(4, y, 11, y);
    return QIcon(picture);
}

// Standard run-time failure "Path not found"; the table of run-time errors has no entry for it.
[[noreturn]] void raisePathNotFound(const QString &path)
{
    throw AutomationError(76, QStringLiteral("Path not found: %1").arg(path), QStringLiteral("wrenkit1"));
}

} // namespace

TackpadPopupForm::TackpadPopupForm(QWidget *parent)
    : FormWindow(parent, Qt::Tool)
    , m_lvwNotes(new QListWidget(this))
    , m_mnuPopUp(new QMenu(this))
{
    setObjectName(QStringLiteral("TackpadPopupForm"));
    setWindowTitle(caption);
    resize(Twips::toPixelsX(2985), Twips::toPixelsY(5220));

    ilsNotes = {notePicture(Qt::white), notePicture(fromColourRef(noteBackColour))};

    m_lvwNotes->setObjectName(QStringLiteral("lvwNotes"));
    m_lvwNotes->setViewMode(QListView::ListMode);
    m_lvwNotes->setIconSize(QSize(16, 16));
    m_lvwNotes->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette paper = m_lvwNotes->palette();
    paper.setColor(QPalette::Base, fromColourRef(noteBackColour));
    m_lvwNotes->setPalette(paper);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    m_lvwNotes->setFont(tahoma);
    m_lvwNotes->installEventFilter(this);
    m_lvwNotes->viewport()->installEventFilter(this);
    connect(m_lvwNotes, &QListWidget::itemClicked, this, &TackpadPopupForm::lvwNotes_ItemClick);

    m_mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    const auto add = [this](const char *name, const QString &text, void (TackpadPopupForm::*command)()) {
        QAction *action = m_mnuPopUp->addAction(text);
        action->setObjectName(QLatin1StringView(name));
        if (command)
            connect(action, &QAction::triggered, this, command);
        return action;
    };
    const auto separator
        = [this](const char *name) { m_mnuPopUp->addSeparator()->setObjectName(QLatin1StringView(name)); };
    add("mnuNew", QStringLiteral("New"), nullptr);
    connect(menuAction(QStringLiteral("mnuNew")), &QAction::triggered, this,
            [this] { trapFailure(label("mnuNew_Click"), [&] { NewNote(); }); });
    add("mnuDisconnect", QStringLiteral("Disconnect Association"), &TackpadPopupForm::mnuDisconnect_Click);
    separator("mnuSep1");
    add("mnuDelete", QStringLiteral("Delete"), &TackpadPopupForm::mnuDelete_Click);
    separator("mnuSep2");
    add("mnuRefresh", QStringLiteral("Refresh"), nullptr);
    connect(menuAction(QStringLiteral("mnuRefresh")), &QAction::triggered, this,
            [this] { trapFailure(label("mnuRefresh_Click"), [&] { RefreshList(); }); });
    QAction *track = add("mnuTrack", QStringLiteral("Track Main Window Movements"), nullptr);
    track->setCheckable(true);
    track->setChecked(true);
    // The check mark is toggled by the command itself, not by the menu.
    connect(track, &QAction::triggered, this, [this, track] {
        track->setChecked(!track->isChecked());
        mnuTrack_Click();
    });
    separator("mnuSep3");
    add("mnuHide", QStringLiteral("Hide This Window"), nullptr);
    connect(menuAction(QStringLiteral("mnuHide")), &QAction::triggered, this,
            [this] { trapFailure(label("mnuHide_Click"), [&] { Expand(); }); });
    add("mnuAbout", QStringLiteral("About KS Tackpad..."), &TackpadPopupForm::mnuAbout_Click);
}

TackpadPopupForm::~TackpadPopupForm() = default;

void TackpadPopupForm::setSlideStep(int twips)
{
    slideStep() = twips > 0 ? twips : 60;
}

QAction *TackpadPopupForm::menuAction(const QString &name) const
{
    for (QAction *action : m_mnuPopUp->actions()) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

bool TackpadPopupForm::tracking() const
{
    const QAction *track = menuAction(QStringLiteral("mnuTrack"));
    return track && track->isChecked();
}

void TackpadPopupForm::applyNoteLook(PluginWindow *window)
{
    window->setBackColour(noteBackColour);
    const std::unique_ptr<PluginWindowFont> font(window->Font());
    font->setName(QStringLiteral("Comic Sans MS"));
    font->setSize(10);
    window->setTopTextBackColour(0x79A8B0);
    window->setTopTextForeColour(0xFFFFFF);
    window->setTopTextLocked(false);
}

void TackpadPopupForm::RestoreLook()
{
    passOn(label("RestoreLook"), [&] {
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
        applyNoteLook(moWindow);
    });
}

void TackpadPopupForm::Execute(PluginWindow *oWindow, PropertyStore *oPropertyStore)
{
    passOn(label("Execute"), [&] {
        if (moWindow)
            disconnect(moWindow, nullptr, this, nullptr);
        moWindow = oWindow;
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
        connect(moWindow, &PluginWindow::BeforeOpen, this, &TackpadPopupForm::moWindow_BeforeOpen);
        connect(moWindow, &PluginWindow::AfterOpen, this, &TackpadPopupForm::moWindow_AfterOpen);
        connect(moWindow, &PluginWindow::BeforeSave, this, &TackpadPopupForm::moWindow_BeforeSave);
        connect(moWindow, &PluginWindow::BeforeEraseAll, this, &TackpadPopupForm::moWindow_BeforeEraseAll);
        connect(moWindow, &PluginWindow::DebugPrintEvent, this, &TackpadPopupForm::moWindow_DebugPrint);
        connect(moWindow, &PluginWindow::TopTextKeyPress, this, &TackpadPopupForm::moWindow_TopTextKeyPress);
        connect(moWindow, &PluginWindow::BeforeQuit, this, &TackpadPopupForm::moWindow_BeforeQuit);
        connect(moWindow, &PluginWindow::Move, this, &TackpadPopupForm::moWindow_Move);
        connect(moWindow, &PluginWindow::FoldEvent, this, &TackpadPopupForm::moWindow_Fold);
        connect(moWindow, &PluginWindow::OnTopEvent, this, &TackpadPopupForm::moWindow_OnTop);
        connect(moWindow, &PluginWindow::Translucency, this, &TackpadPopupForm::moWindow_Translucency);

        PluginMenu *menu = moWindow->Menu();
        moMnuExpand = menu->AddMenuItem(QStringLiteral("Show KS Tackpad List"));
        connect(moMnuExpand, &PluginMenuItem::Click, this,
                [this] { trapFailure(label("moMnuExpand_Click"), [&] { Expand(); }); });
        moMnuNew = menu->AddMenuItem(QStringLiteral("New KS Tackpad"));
        connect(moMnuNew, &PluginMenuItem::Click, this,
                [this] { trapFailure(label("moMnuNew_Click"), [&] { NewNote(); }); });

        m_store = oPropertyStore;
        m_fileType = NoteFiles::noteFileType(moWindow);
        if (!m_loaded) {
            m_loaded = true;
            Form_Load();
        }
    });
}

void TackpadPopupForm::Form_Load()
{
    // Every step stands alone: a damaged setting must not keep the list from loading.
    captureFailure([&] { m_expandedWidth = 2610; });
    captureFailure([&] {
        if (!m_store)
            return;
        if (const std::optional<bool> track = asBoolean(m_store->GetProperty(QStringLiteral("Track"))))
            menuAction(QStringLiteral("mnuTrack"))->setChecked(*track);
    });
    captureFailure([&] { RestorePosition(); });
    captureFailure([&] { m_expandedWidth = Width(); });
    captureFailure([&] { DockToMainWindow(); });
    captureFailure([&] {
        const std::optional<bool> shown
            = m_store ? asBoolean(m_store->GetProperty(QStringLiteral("Expanded"))) : std::nullopt;
        if (shown.value_or(true))
            Expand();
    });
}

void TackpadPopupForm::RestorePosition()
{
    if (!m_store)
        return;
    const auto restore = [this](const char *name, void (FormWindow::*set)(int)) {
        captureFailure([&] {
            if (const std::optional<int> twips = asTwips(m_store->GetProperty(QLatin1StringView(name))))
                (this->*set)(*twips);
        });
    };
    restore("Top", &FormWindow::setTop);
    restore("Left", &FormWindow::setLeft);
    restore("Width", &FormWindow::setWidth);
    restore("Height", &FormWindow::setHeight);
}

void TackpadPopupForm::SavePosition()
{
    if (!m_store)
        return;
    m_store->SetProperty(QStringLiteral("Top"), float(Top()));
    m_store->SetProperty(QStringLiteral("Left"), float(Left()));
    m_store->SetProperty(QStringLiteral("Width"), float(Width()));
    m_store->SetProperty(QStringLiteral("Height"), float(Height()));
}

void TackpadPopupForm::DockToMainWindow()
{
    captureFailure([&] {
        if (!tracking() || !moWindow)
            return;
        setLeft(moWindow->Left() + moWindow->Width() + int(2 * Twips::perPixelX()));
        setTop(moWindow->Top());
        setMainHeight();
        sizeListView();
    });
}

void TackpadPopupForm::setMainHeight()
{
    m_resizing = true;
    captureFailure([&] { setHeight(moWindow->Height()); });
    m_resizing = false;
}

void TackpadPopupForm::sizeListView()
{
    const QRect outer = frameGeometry();
    m_lvwNotes->setGeometry(0, 0, qMax(0, outer.width() - 1), qMax(0, outer.height() - 1));
}

void TackpadPopupForm::Expand()
{
    passOn(label("Expand"), [&] {
        QPointer<TackpadPopupForm> self(this);
        m_expanded = !m_expanded;
        if (moMnuExpand)
            moMnuExpand->setCaption(m_expanded ? QStringLiteral("Hide KS Tackpad List")
                                               : QStringLiteral("Show KS Tackpad List"));
        const bool slide = tracking() && !m_translucent && moWindow;
        if (m_expanded) {
            RefreshList();
            show();
            if (slide) {
                for (int width = 1; width <= m_expandedWidth; width += slideStep()) {
                    setWidth(width);
                    setMainHeight();
                    QCoreApplication::processEvents();
                    // The slide lets events run; the plug-in may have gone meanwhile.
                    if (!self)
                        return;
                }
            }
            setWidth(m_expandedWidth - int(Twips::perPixelX()));
            DockToMainWindow();
        } else {
            SaveNote();
            m_expandedWidth = Width();
            if (slide) {
                for (int width = m_expandedWidth; width >= 1; width -= slideStep()) {
                    setWidth(width);
                    QCoreApplication::processEvents();
                    if (!self)
                        return;
                }
            }
            setWidth(0);
            hide();
        }
    });
}

void TackpadPopupForm::RefreshList()
{
    passOn(label("RefreshList"), [&] {
        const QString folder = NoteFiles::folder();
        const QDir notes(folder);
        if (!notes.exists())
            raisePathNotFound(folder);
        m_lvwNotes->clear();
        const QStringList files = notes.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QString &file : files) {
            // Only the exact spelling of the extension marks a note.
            if (!file.contains(NoteFiles::extension, Qt::CaseSensitive))
                continue;
            const QString name = NoteFiles::nameOf(file);
            auto *item = new QListWidgetItem(ilsNotes.value(1), name, m_lvwNotes);
            item->setData(Qt::UserRole, folder + file);
            item->setToolTip(name);
        }
        if (m_currentNote.isEmpty()) {
            clearSelection();
            return;
        }
        for (int i = 0; i < m_lvwNotes->count(); ++i) {
            QListWidgetItem *item = m_lvwNotes->item(i);
            if (item->data(Qt::UserRole).toString() == m_currentNote) {
                m_lvwNotes->setCurrentItem(item);
                item->setSelected(true);
                m_lvwNotes->scrollToItem(item);
                return;
            }
        }
        clearSelection();
    });
}

void TackpadPopupForm::clearSelection()
{
    m_lvwNotes->clearSelection();
}

QListWidgetItem *TackpadPopupForm::selectedItem() const
{
    const QList<QListWidgetItem *> selected = m_lvwNotes->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

// ---- Note operations -----------------------------------------------------

void TackpadPopupForm::SaveNote()
{
    passOn(label("SaveNote"), [&] {
        if (!m_currentNote.isEmpty() && moWindow)
            moWindow->SaveFile(m_currentNote, wlog_RTF);
    });
}

void TackpadPopupForm::LoadNote(const QString &sPath)
{
    passOn(label("LoadNote"), [&] {
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
        m_currentNote = sPath;
        RestoreLook();
        try {
            moWindow->LoadFile(sPath);
        } catch (...) {
            // The window still shows whatever it showed before: that text must
            // not be written into this note at the next save.
            m_currentNote.clear();
            throw;
        }
        moWindow->setSelStart(qint32(moWindow->Text().size()));
        moWindow->setTopText(NoteFiles::nameOf(sPath));
        RefreshList();
    });
}

void TackpadPopupForm::NewNote()
{
    NewNoteAt(QDateTime::currentDateTime());
}

void TackpadPopupForm::NewNoteAt(const QDateTime &at)
{
    passOn(label("NewNote"), [&] {
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
        SaveNote();
        // From here on the window no longer holds the saved note's text.
        m_currentNote.clear();
        RestoreLook();
        moWindow->setText(QString());
        // Two notes made within one minute would share a name; the second must
        // not overwrite the first.
        const QString base = NoteFiles::newNoteName(at);
        QString name = base;
        for (int n = 2; QFileInfo::exists(NoteFiles::pathFor(name)); ++n)
            name = base + QLatin1Char(' ') + QString::number(n);
        moWindow->setTopText(name);
        const QString path = NoteFiles::pathFor(moWindow->TopText());
        moWindow->SaveFile(path, wlog_RTF);
        QCoreApplication::processEvents();
        LoadNote(path);
    });
}

// ---- Commands ------------------------------------------------------------

void TackpadPopupForm::mnuDisconnect_Click()
{
    trapFailure(label("mnuDisconnect_Click"), [&] {
        m_currentNote.clear();
        if (moWindow)
            moWindow->setTopText(QString());
        clearSelection();
    });
}

void TackpadPopupForm::mnuDelete_Click()
{
    trapFailure(label("mnuDelete_Click"), [&] {
        const QListWidgetItem *item = selectedItem();
        if (!item)
            return;
        const QString key = item->data(Qt::UserRole).toString();
        const auto step = [](auto &&work) {
            if (const std::optional<AutomationError> failure = captureFailure(work)) {
                if (failure->number() != RuntimeErrors::ObjectNotSet)
                    throw *failure;
            }
        };
        const bool current = key == m_currentNote;
        // The current note is reloaded from its file below: keep its edits.
        if (!current)
            step([&] { SaveNote(); });
        // The file goes first: a note that cannot be deleted keeps its text on
        // screen, edits since the last save included.
        step([&] {
            const QFileInfo file(key);
            if (!file.permissions().testFlag(QFileDevice::WriteOwner) || !QFile::remove(key))
                throw AutomationError(RuntimeErrors::PathFileAccessError,
                                      QStringLiteral("Path/File access error: %1").arg(key),
                                      QStringLiteral("wrenkit1"));
        });
        if (current) {
            step([&] {
                moWindow->setText(QString());
                moWindow->setTopText(QString());
            });
            m_currentNote.clear();
        }
        step([&] { RefreshList(); });
        step([&] {
            if (const QListWidgetItem *now = selectedItem())
                LoadNote(now->data(Qt::UserRole).toString());
        });
    });
}

void TackpadPopupForm::mnuTrack_Click()
{
    trapFailure(label("mnuTrack_Click"), [&] {
        QAction *track = menuAction(QStringLiteral("mnuTrack"));
        track->setChecked(!track->isChecked());
        if (track->isChecked()) {
            SavePosition();
            DockToMainWindow();
        } else {
            RestorePosition();
        }
    });
}

void TackpadPopupForm::mnuAbout_Click()
{
    trapFailure(label("mnuAbout_Click"), [&] {
        SplashForm::card()->Execute(moWindow, 10);
    });
}

void TackpadPopupForm::preparePopUp(bool overItem)
{
    menuAction(QStringLiteral("mnuDelete"))->setVisible(overItem);
    menuAction(QStringLiteral("mnuSep2"))->setVisible(overItem);
    menuAction(QStringLiteral("mnuDisconnect"))->setEnabled(!m_currentNote.isEmpty());
}

// ---- Events of the window and the list -----------------------------------

void TackpadPopupForm::lvwNotes_ItemClick(QListWidgetItem *item)
{
    trapFailure(label("lvwNotes_ItemClick"), [&] {
        const QString key = item->data(Qt::UserRole).toString();
        SaveNote();
        LoadNote(key);
    });
}

void TackpadPopupForm::lvwNotes_MouseUp(Qt::MouseButton button, const QPoint &position)
{
    trapFailure(label("lvwNotes_MouseUp"), [&] {
        const bool overItem = m_lvwNotes->itemAt(position) != nullptr;
        if (button == Qt::RightButton) {
            preparePopUp(overItem);
            m_mnuPopUp->popup(m_lvwNotes->viewport()->mapToGlobal(position));
            return;
        }
        if (!overItem) {
            if (const QListWidgetItem *selected = selectedItem()) {
                const QString key = selected->data(Qt::UserRole).toString();
                SaveNote();
                LoadNote(key);
            }
        }
    });
}

bool TackpadPopupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lvwNotes->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        lvwNotes_MouseUp(mouse->button(), mouse->position().toPoint());
    } else if (watched == m_lvwNotes && event->type() == QEvent::KeyRelease) {
        // The window sees the list's keys before the list does.
        keyReleaseEvent(static_cast<QKeyEvent *>(event));
        return event->isAccepted();
    }
    return FormWindow::eventFilter(watched, event);
}

void TackpadPopupForm::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F5) {
        static_assert(f5Key == 116);
        trapFailure(label("Form_KeyUp"), [&] { RefreshList(); });
        event->accept();
        return;
    }
    event->ignore();
}

void TackpadPopupForm::closeEvent(QCloseEvent *event)
{
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    // The close box hides the list; only the plug-in unloads it.
    event->ignore();
    trapFailure(label("Form_QueryUnload"), [&] {
        if (m_expanded)
            Expand();
    });
}

void TackpadPopupForm::resizeEvent(QResizeEvent *event)
{
    FormWindow::resizeEvent(event);
    if (m_resizing)
        return;
    captureFailure([&] {
        if (tracking() && moWindow)
            setMainHeight();
        sizeListView();
    });
}

void TackpadPopupForm::changeEvent(QEvent *event)
{
    FormWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_lvwNotes->count() > 0)
        clearSelection();
}

// ---- Events of the debug window ------------------------------------------

void TackpadPopupForm::moWindow_BeforeOpen(bool &)
{
    trapFailure(label("moWindow_BeforeOpen"), [&] { SaveNote(); });
}

void TackpadPopupForm::moWindow_AfterOpen(const QString &Path)
{
    trapFailure(label("moWindow_AfterOpen"), [&] {
        const bool isNote = m_fileType && m_fileType->CheckFileType(Path).toBool();
        // A note file from the notes' folder becomes the current note; any
        // other file ends the association, so the note it replaced on screen
        // never receives its text.
        if (isNote && QFileInfo(Path).absolutePath() == QFileInfo(NoteFiles::folder()).absolutePath()
            && QFileInfo(Path).fileName().contains(NoteFiles::extension)) {
            LoadNote(NoteFiles::folder() + QFileInfo(Path).fileName());
            return;
        }
        m_currentNote.clear();
        clearSelection();
    });
}

void TackpadPopupForm::moWindow_BeforeSave(bool &)
{
    trapFailure(label("moWindow_BeforeSave"), [&] {
        if (!m_currentNote.isEmpty())
            moWindow->setDefaultFileName(moWindow->TopText());
    });
}

void TackpadPopupForm::moWindow_BeforeEraseAll(bool &Cancel)
{
    trapFailure(label("moWindow_BeforeEraseAll"), [&] {
        if (m_currentNote.isEmpty())
            return;
        if (!m_expanded) {
            m_currentNote.clear();
            moWindow->setTopText(QString());
            clearSelection();
            return;
        }
        const bool wasOnTop = moWindow->OnTop();
        moWindow->setOnTop(false);
        const qint32 answer = GlobalLibrary().ShowMessage(
            askYesNo, caption,
            QStringLiteral("You are about to errase the contents of this note.\r\n\r\nAre you sure about this ?"));
        if (answer == 7)
            Cancel = true;
        moWindow->setOnTop(wasOnTop);
    });
}

void TackpadPopupForm::moWindow_DebugPrint(const QString &, qint32, bool, bool &)
{
    trapFailure(label("moWindow_DebugPrint"), [&] {
        if (m_currentNote.isEmpty())
            return;
        const qint32 answer = GlobalLibrary().ShowMessage(
            askYesNo, caption,
            QStringLiteral("Another application has sent some Debug information to the main window.\r\n\r\n"
                           "Do you wish disconnect the association with the currently selected note ?"));
        if (answer == 6)
            m_currentNote.clear();
    });
}

void TackpadPopupForm::moWindow_TopTextKeyPress(qint16 KeyAscii)
{
    if (KeyAscii != enterKey || m_currentNote.isEmpty())
        return;
    // A refused rename is shown here: it must not travel on into the window's
    // event dispatch, and nothing on disk may change before it is refused.
    trapFailure(label("moWindow_TopTextKeyPress"), [&] {
        const QString target = NoteFiles::pathFor(moWindow->TopText());
        if (target != m_currentNote && QFileInfo::exists(target))
            throw AutomationError(
                58, QStringLiteral("A note named \"%1\" already exists; choose another name.").arg(moWindow->TopText()),
                QStringLiteral("wrenkit1"));
        SaveNote();
        if (target != m_currentNote && !QFile::rename(m_currentNote, target))
            throw AutomationError(RuntimeErrors::PathFileAccessError,
                                  QStringLiteral("Path/File access error: %1").arg(m_currentNote),
                                  QStringLiteral("wrenkit1"));
        LoadNote(target);
    });
}

void TackpadPopupForm::saveSettings()
{
    if (!m_store)
        return;
    captureFailure([&] { m_store->SetProperty(QStringLiteral("Track"), tracking()); });
    captureFailure([&] { m_store->SetProperty(QStringLiteral("Expanded"), m_expanded); });
    captureFailure([&] {
        if (!tracking())
            SavePosition();
    });
}

void TackpadPopupForm::moWindow_BeforeQuit(bool &Cancel)
{
    trapFailure(label("moWindow_BeforeQuit"), [&] {
        saveSettings();
        try {
            SaveNote();
        } catch (...) {
            // The text exists only on screen now: the window stays open so the
            // user can keep it somewhere else.
            Cancel = true;
            throw;
        }
    });
}

void TackpadPopupForm::moWindow_Move()
{
    trapFailure(label("moWindow_Move"), [&] {
        if (!tracking())
            return;
        setLeft(moWindow->Left() + moWindow->Width() + int(2 * Twips::perPixelX()));
        setTop(moWindow->Top());
    });
}

void TackpadPopupForm::moWindow_Fold(bool IsFolded)
{
    trapFailure(label("moWindow_Fold"), [&] {
        if (IsFolded) {
            if (m_expanded) {
                m_wasExpandedBeforeFold = true;
                Expand();
            }
        } else if (m_wasExpandedBeforeFold) {
            m_wasExpandedBeforeFold = false;
            Expand();
        }
    });
}

void TackpadPopupForm::moWindow_OnTop(bool IsOnTop)
{
    trapFailure(label("moWindow_OnTop"), [&] {
        if (isVisible())
            GlobalLibrary().FormOnTop(IsOnTop, this);
    });
}

void TackpadPopupForm::moWindow_Translucency(bool Translucent)
{
    trapFailure(label("moWindow_Translucency"), [&] {
        if (Translucent)
            GlobalLibrary().MakeTranslucent(qulonglong(winId()));
        else
            GlobalLibrary().ClearTranslucency(qulonglong(winId()));
        m_translucent = Translucent;
    });
}
