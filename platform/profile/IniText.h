#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <utility>

/**
 * Reading and editing the text of an INI file held in memory, byte for byte.
 *
 * The editing functions return the new text and leave every byte they do not
 * touch as it was, so garbage lines, comments and odd line ends of a file
 * survive a write. Names are UTF-8; see PrivateProfile.h for the rules.
 */
namespace IniText {

using Entry = std::pair<QByteArray, QByteArray>;

/// Trimmed, unquoted value of the first matching key of the matching sections.
std::optional<QByteArray> find(QByteArrayView text, QByteArrayView section, QByteArrayView key);
QList<QByteArray> sections(QByteArrayView text);
QList<QByteArray> keys(QByteArrayView text, QByteArrayView section);

/// The text with each key=value written into the section (replacing the first
/// matching key line, or added after the section's last line, or in a new
/// section at the end). Always a change.
QByteArray withEntries(QByteArrayView text, QByteArrayView section, const QList<Entry> &entries);
/// The text without the key's lines in the section; nullopt when nothing matched.
std::optional<QByteArray> withoutKey(QByteArrayView text, QByteArrayView section, QByteArrayView key);
/// The text without the section's header and lines; nullopt when nothing matched.
std::optional<QByteArray> withoutSection(QByteArrayView text, QByteArrayView section);

/// Names compared trimmed and without regard to case.
bool namesEqual(QByteArrayView a, QByteArrayView b);
/// Blanks as the profile functions see them: space, tab, CR, vertical tab, form feed.
QByteArrayView trimmed(QByteArrayView text);

} // namespace IniText
