#include "StorageStringFields.h"

namespace StorageStringFields {

std::optional<Record> find(const QString &page, const StorageStringTags &tags, const QString &name)
{
    const QString key = tags.outerStart + name + tags.innerStart;
    const qsizetype start = page.indexOf(key);
    if (start < 0)
        return std::nullopt;
    Record record;
    record.start = start;
    record.valueStart = start + key.size();
    const QString closing = tags.innerEnd + tags.outerEnd;
    const qsizetype close = page.indexOf(closing, record.valueStart);
    if (close < 0) {
        record.valueEnd = page.size();
        record.end = page.size();
    } else {
        record.valueEnd = close;
        record.end = close + closing.size();
    }
    return record;
}

std::optional<QString> value(const QString &page, const StorageStringTags &tags, const QString &name)
{
    const auto record = find(page, tags, name);
    if (!record)
        return std::nullopt;
    return page.mid(record->valueStart, record->valueEnd - record->valueStart);
}

void set(QString &page, const StorageStringTags &tags, const QString &name, const QString &value)
{
    const auto record = find(page, tags, name);
    if (!record) {
        page += tags.outerStart + name + tags.innerStart + value + tags.innerEnd + tags.outerEnd;
        return;
    }
    // A record left without its end tags is closed properly on the way.
    if (record->valueEnd == page.size() && record->end == page.size())
        page.replace(record->valueStart, page.size() - record->valueStart, value + tags.innerEnd + tags.outerEnd);
    else
        page.replace(record->valueStart, record->valueEnd - record->valueStart, value);
}

bool remove(QString &page, const StorageStringTags &tags, const QString &name)
{
    const auto record = find(page, tags, name);
    if (!record)
        return false;
    const qsizetype close = page.indexOf(tags.outerEnd, record->valueStart);
    const qsizetype end = close < 0 ? page.size() : close + tags.outerEnd.size();
    page.remove(record->start, end - record->start);
    return true;
}

QStringList names(const QString &page, const StorageStringTags &tags)
{
    QStringList result;
    qsizetype from = 0;
    while (from <= page.size()) {
        const qsizetype start = page.indexOf(tags.outerStart, from);
        if (start < 0)
            break;
        const qsizetype nameStart = start + tags.outerStart.size();
        const qsizetype nameEnd = page.indexOf(tags.innerStart, nameStart);
        if (nameEnd < 0)
            break; // an opening tag with no name end is text, not a record
        result.append(page.mid(nameStart, nameEnd - nameStart));
        const qsizetype close = page.indexOf(tags.outerEnd, nameEnd + tags.innerStart.size());
        if (close < 0)
            break;
        from = std::max(close + tags.outerEnd.size(), start + 1);
    }
    return result;
}

bool holdsDefaultTag(const QString &text)
{
    static const StorageStringTags defaults;
    return text.contains(defaults.outerStart) || text.contains(defaults.outerEnd) || text.contains(defaults.innerStart)
        || text.contains(defaults.innerEnd);
}

} // namespace StorageStringFields
