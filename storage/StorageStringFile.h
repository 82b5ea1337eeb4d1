#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/**
 * Files of a storage string: one page's text, nothing else.
 *
 * Reading takes UTF-8 when the bytes are UTF-8 and Windows-1252 otherwise, so
 * files written on Windows by older versions still open. Writing is UTF-8
 * without a byte-order mark. UTF-16 code units that do not form a pair are
 * written as three-byte sequences and read back as such, so any text the page
 * can hold comes back unchanged.
 */
namespace StorageStringFile {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
/// True when the bytes are UTF-8 (unpaired surrogates encoded alone accepted).
bool isUtf8(const QByteArray &bytes);
/// The character's Windows-1252 code, if it has one.
std::optional<quint8> windows1252Code(QChar character);
/// The character of a Windows-1252 code (the five undefined codes give the
/// control characters of the same number).
QChar windows1252Character(quint8 code);

/// A regular file at that path (a folder does not count).
bool exists(const QString &fileName);
/// The whole file, or nothing when it cannot be read.
std::optional<QString> read(const QString &fileName);
/// Replaces the file atomically, or appends to it; false when it fails.
bool write(const QString &fileName, const QString &text, bool append);

} // namespace StorageStringFile
