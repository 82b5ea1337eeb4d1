#pragma once

#include <QDateTime>
#include <QString>

class FileType;
class PluginWindow;

/**
 * Where the notes live and how their names are made: every note is a file
 * "<name>.Tackpad" in the Files folder beside the plug-in library (for an
 * installed copy, in its counterpart under the user's data folder, AppFolders).
 *
 *     NoteFiles::pathFor(QStringLiteral("Shopping"));  // ".../Plugins/Tackpad/Files/Shopping.Tackpad"
 */
namespace NoteFiles {

inline constexpr QLatin1StringView extension(".Tackpad");

/// The notes' folder, with a final "/". The plug-in never creates it.
QString folder();
/// Tests point the notes at a folder of their own; an empty text restores the real one.
void setFolder(const QString &path);

/// The file of a note name. A name that could leave the folder or that no
/// file can carry (empty, ".", "..", a "/" or a NUL inside) fails with
/// run-time error 5 and a message that names it.
QString pathFor(const QString &name);
/// A note's name: the file name up to its last full stop.
QString nameOf(const QString &path);
/// "Notes (06-December-26 09_15)" for a note made at that moment.
QString newNoteName(const QDateTime &at);

/// The window's one entry for the note extension: added on first use, shared
/// afterwards (the collection refuses a second entry with the same key).
FileType *noteFileType(PluginWindow *window);

} // namespace NoteFiles
