#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// The four strings that mark a field record inside a storage-string page.
struct StorageStringTags
{
    QString outerStart = QStringLiteral("<\\");
    QString outerEnd = QStringLiteral("/>");
    QString innerStart = QStringLiteral("={");
    QString innerEnd = QStringLiteral("};");
};

/**
 * Field records inside one page of text: `<\Name={value};/>` with the default
 * tags. Free text around the records is the page's document text and is
 * never touched. All positions are 0-based, ends exclusive.
 */
namespace StorageStringFields {

struct Record
{
    qsizetype start = 0; ///< first character of the outer start tag
    qsizetype valueStart = 0; ///< first character of the value
    qsizetype valueEnd = 0; ///< the inner end tag, or the page end when it is missing
    qsizetype end = 0; ///< just after the outer end tag, or the page end
};

/// The first record of that name (exact, case-sensitive). A record whose end
/// tags are missing runs to the end of the page.
std::optional<Record> find(const QString &page, const StorageStringTags &tags, const QString &name);

/// The value text of the named record, if there is one.
std::optional<QString> value(const QString &page, const StorageStringTags &tags, const QString &name);

/// Replaces the record's value in place, or appends a new record at the end.
void set(QString &page, const StorageStringTags &tags, const QString &name, const QString &value);

/// Removes the record from its outer start through the first outer end after
/// it; false when there is no record of that name.
bool remove(QString &page, const StorageStringTags &tags, const QString &name);

/// Record names in text order. Always terminates, whatever the tags are
/// (even empty ones): every step moves forward by at least one character.
QStringList names(const QString &page, const StorageStringTags &tags);

/// True when the text holds any of the default tag strings, which would break
/// the record structure for a reader using the defaults.
bool holdsDefaultTag(const QString &text);

} // namespace StorageStringFields
