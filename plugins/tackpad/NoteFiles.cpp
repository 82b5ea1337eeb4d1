#include "NoteFiles.h"

#include "AppFolders.h"
#include "FileType.h"
#include "FileTypeCollection.h"
#include "Guard.h"
#include "PluginWindow.h"
#include "RuntimeErrors.h"

#include <QFileInfo>
#include <QLocale>

#include <dlfcn.h>

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

QString libraryFolder()
{
    Dl_info info = {};
    if (dladdr(reinterpret_cast<const void *>(&libraryFolder), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QString();
}

} // namespace

QString NoteFiles::folder()
{
    QString path = folderOverride().isEmpty()
        ? AppFolders::current().writableFolderFor(libraryFolder()) + QStringLiteral("/Files")
        : folderOverride();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

void NoteFiles::setFolder(const QString &path)
{
    folderOverride() = path;
}

QString NoteFiles::pathFor(const QString &name)
{
    // The name comes from the editable top text box: anything that would put
    // the note outside the folder, or is no file name at all, is refused.
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(QLatin1Char('/')) || name.contains(QChar(0))) {
        QString shown = name;
        shown.replace(QChar(0), QStringLiteral("\\0"));
        throw AutomationError(RuntimeErrors::InvalidProcedureCall,
                              QStringLiteral("\"%1\" cannot be the name of a note: a note's name must not be "
                                             "empty, \".\" or \"..\", nor hold \"/\".")
                                  .arg(shown),
                              QStringLiteral("wrenkit1"));
    }
    return folder() + name + extension;
}

QString NoteFiles::nameOf(const QString &path)
{
    const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

QString NoteFiles::newNoteName(const QDateTime &at)
{
    // English month names whatever the desktop's language: note names are
    // shared between users of one folder.
    return QStringLiteral("Notes (") + QLocale::c().toString(at, QStringLiteral("dd-MMMM-yy HH_mm")) + QLatin1Char(')');
}

FileType *NoteFiles::noteFileType(PluginWindow *window)
{
    auto *types = qobject_cast<FileTypeCollection *>(window->FileTypes());
    if (!types)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
    const QString key(extension);
    if (FileType *listed = types->findByExtension(key))
        return listed;
    return types->Add(key, QStringLiteral("KS Tackpad"));
}
