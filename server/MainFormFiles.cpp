#include "MainFormFiles.h"

#include "FileDialogs.h"
#include "FileType.h"
#include "FileTypeCollection.h"
#include "Guard.h"
#include "NotificationCode.h"
#include "RichTextView.h"
#include "RuntimeErrors.h"
#include "WrenlogEnums.h"
#include "WrenlogMainForm.h"

#include <QDynamicPropertyChangeEvent>
#include <QFileInfo>
#include <QLocale>

namespace {

const char *const fileTypesProperty = "FileTypes";
const char *const defaultFilterProperty = "DefaultFilter";
const char *const defaultFileNameProperty = "DefaultFileName";

QString label(const char *procedure)
{
    return QStringLiteral("WrenlogMainForm.") + QLatin1String(procedure);
}

} // namespace

MainFormFiles::MainFormFiles(WrenlogMainForm &form)
    : m_form(form)
{
    m_fileTypes = new FileTypeCollection(this);
    m_textType = m_fileTypes->Add(QStringLiteral(".txt"), QStringLiteral("Plain Text File"));
    m_richTextType = m_fileTypes->Add(QStringLiteral(".rtf"), QStringLiteral("Ritch Text File"));
    connect(m_textType, &FileType::Opened, this, &MainFormFiles::moTXTFileType_Opened);
    connect(m_textType, &FileType::Saved, this, &MainFormFiles::moTXTFileType_Saved);
    connect(m_richTextType, &FileType::Opened, this, &MainFormFiles::moRTFFileType_Opened);
    connect(m_richTextType, &FileType::Saved, this, &MainFormFiles::moRTFFileType_Saved);

    m_form.setProperty(fileTypesProperty, QVariant::fromValue<QObject *>(m_fileTypes));
    m_form.installEventFilter(this);
    watchDefaultFilter();
}

MainFormFiles::~MainFormFiles()
{
    // The window may outlive its file types; it must not hand out dead ones.
    m_form.removeEventFilter(this);
    disconnect(m_defaultFilterWatch);
    m_form.setProperty(fileTypesProperty, QVariant());
    m_form.setProperty(defaultFilterProperty, QVariant());
}

void MainFormFiles::install()
{
    WrenlogMainForm::setFileCommandsFactory([](WrenlogMainForm &form) -> std::unique_ptr<FileCommandsLink> {
        return std::make_unique<MainFormFiles>(form);
    });
}

// ---- Settings ------------------------------------------------------------

bool MainFormFiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_form && event->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == defaultFilterProperty) {
        watchDefaultFilter();
    }
    return QObject::eventFilter(watched, event);
}

void MainFormFiles::watchDefaultFilter()
{
    auto *chosen = qobject_cast<FileType *>(m_form.property(defaultFilterProperty).value<QObject *>());
    if (!chosen) {
        // Nothing (or no file type at all) stands for the plain-text type;
        // storing it keeps what the plug-ins read the same as what the dialogs use.
        m_form.setProperty(defaultFilterProperty, QVariant::fromValue<QObject *>(m_textType));
        return;
    }
    disconnect(m_defaultFilterWatch);
    m_defaultFilter = chosen;
    // A plug-in may delete its own type while it is the default.
    m_defaultFilterWatch
        = connect(chosen, &QObject::destroyed, this, [this] { m_form.setProperty(defaultFilterProperty, QVariant()); });
}

FileType *MainFormFiles::DefaultFilter() const
{
    return m_defaultFilter ? m_defaultFilter.data() : m_textType;
}

QString MainFormFiles::datedFileName(const QDateTime &when)
{
    return QStringLiteral("Wrenlog-") + QLocale().toString(when, QStringLiteral("dd-MMMM-yy HH-mm-ss"));
}

QString MainFormFiles::proposedFileName() const
{
    const QString name = m_form.property(defaultFileNameProperty).toString();
    return name.isEmpty() ? datedFileName(QDateTime::currentDateTime()) : name;
}

// ---- The commands --------------------------------------------------------

QString MainFormFiles::askForPath(bool save)
{
    FileDialogs::Request request;
    request.mode = save ? FileDialogs::Save : FileDialogs::Open;
    request.title = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    request.fileName = save ? proposedFileName() : QString();
    request.filter = m_fileTypes->FileTypesAsString();
    // The list shows the types in collection order, so after a Remove a
    // type's Index no longer says where it is listed; its position does.
    FileType *preselected = DefaultFilter();
    const qint32 position = m_fileTypes->positionOf(preselected);
    request.filterIndex = position > 0 ? position : preselected->Index();

    const FileDialogs::Result chosen = FileDialogs::show(request, &m_form);
    if (chosen.cancelled)
        return QString();
    QString path = chosen.path;
    // The dated proposal, and any name typed without an extension, would
    // otherwise match no type at all: such a name takes the extension of the
    // type selected in the dialog's list.
    if (save && !QFileInfo(path).fileName().contains(QLatin1Char('.')) && chosen.filterIndex >= 1
        && chosen.filterIndex <= m_fileTypes->Count()) {
        path += m_fileTypes->Item(chosen.filterIndex)->Extention();
    }
    return path;
}

FileType *MainFormFiles::typeForPath(const QString &path) const
{
    const QString extension = FileType::extensionOf(path);
    if (extension.isEmpty())
        RuntimeErrors::raiseWithDetail(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource(), path);
    FileType *type = m_fileTypes->findByExtension(extension);
    if (!type)
        RuntimeErrors::raiseWithDetail(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource(), path);
    return type;
}

void MainFormFiles::SaveFile()
{
    reportFailure(label("SaveFile"), [&] {
        if (m_form.Notify(NotificationCode::BeforeSave))
            return;
        const QString path = askForPath(true);
        if (path.isEmpty())
            return;
        FileType *type = typeForPath(path);
        m_builtInFailed = false;
        type->RaiseSaved(path);
        // A built-in type has reported its own failure; the file was not written.
        if (m_builtInFailed)
            return;
        m_form.Notify(NotificationCode::AfterSave, path);
    });
}

void MainFormFiles::OpenFile()
{
    reportFailure(label("OpenFile"), [&] {
        if (m_form.Notify(NotificationCode::BeforeOpen))
            return;
        const QString path = askForPath(false);
        if (path.isEmpty())
            return;
        FileType *type = typeForPath(path);
        m_builtInFailed = false;
        type->RaiseOpened(path);
        if (m_builtInFailed)
            return;
        m_form.Notify(NotificationCode::AfterOpen, path);
    });
}

// ---- The built-in types --------------------------------------------------

void MainFormFiles::runBuiltIn(const char *handler, const std::function<void()> &work)
{
    if (!reportFailure(label(handler), work))
        m_builtInFailed = true;
}

void MainFormFiles::moTXTFileType_Opened(const QString &Path)
{
    runBuiltIn("moTXTFileType_Opened", [&] { m_form.rtbDetails()->LoadFile(Path, wlog_Text); });
}

void MainFormFiles::moTXTFileType_Saved(const QString &Path)
{
    runBuiltIn("moTXTFileType_Saved", [&] { m_form.rtbDetails()->SaveFile(Path, wlog_Text); });
}

void MainFormFiles::moRTFFileType_Opened(const QString &Path)
{
    runBuiltIn("moRTFFileType_Opened", [&] { m_form.rtbDetails()->LoadFile(Path, wlog_RTF); });
}

void MainFormFiles::moRTFFileType_Saved(const QString &Path)
{
    runBuiltIn("moRTFFileType_Saved", [&] { m_form.rtbDetails()->SaveFile(Path, wlog_RTF); });
}

namespace {

// Part of the server core library: every program that carries the debug
// window can save and open without further set-up.
const bool installedAtLoad = [] {
    MainFormFiles::install();
    return true;
}();

} // namespace
