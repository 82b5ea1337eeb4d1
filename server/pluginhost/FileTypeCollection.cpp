#include "FileTypeCollection.h"

#include "FileType.h"
#include "Guard.h"
#include "RuntimeErrors.h"

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("FileTypeCollection") + QLatin1String(procedure);
}

} // namespace

FileTypeCollection::FileTypeCollection(QObject *parent)
    : QObject(parent)
{
}

FileTypeCollection::~FileTypeCollection() = default;

FileType *FileTypeCollection::Add(const QString &Extention, const QString &Name)
{
    return passOn(label(".Add"), [&] {
        if (findKey(Extention) >= 0)
            RuntimeErrors::raise(RuntimeErrors::KeyAlreadyAssociated, Guard::defaultSource());
        auto *type = new FileType(this);
        type->setExtention(Extention);
        type->setName(Name);
        m_types.append({Extention, type});
        type->setIndex(qint32(m_types.size()));
        // A type deleted by whoever holds it leaves the list instead of dangling in it.
        connect(type, &QObject::destroyed, this, [this, type] {
            m_types.removeIf([type](const Entry &entry) { return entry.type == type; });
        });
        return type;
    });
}

qsizetype FileTypeCollection::findKey(const QString &key) const
{
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types.at(i).key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype FileTypeCollection::find(const QVariant &indexKey) const
{
    if (indexKey.metaType() == QMetaType::fromType<QString>()) {
        const qsizetype at = findKey(indexKey.toString());
        if (at < 0)
            RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
        return at;
    }
    bool ok = false;
    const double position = indexKey.toDouble(&ok);
    if (!ok)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    const qint64 whole = qRound64(position);
    if (whole < 1 || whole > m_types.size())
        RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
    return qsizetype(whole - 1);
}

FileType *FileTypeCollection::Item(const QVariant &vntIndexKey) const
{
    return passOn(label(".Item (Get)"), [&] { return m_types.at(find(vntIndexKey)).type; });
}

qint32 FileTypeCollection::Count() const
{
    return passOn(label(".Count (Get)"), [&] { return qint32(m_types.size()); });
}

void FileTypeCollection::Remove(const QVariant &vntIndexKey)
{
    passOn(label(".Remove"), [&] { m_types.removeAt(find(vntIndexKey)); });
}

QString FileTypeCollection::FileTypesAsString() const
{
    return passOn(label(".FileTypesAsString (Get)"), [&] {
        QString text;
        for (const Entry &entry : m_types) {
            const QString extension = entry.type->Extention();
            text += entry.type->Name() + QStringLiteral("(*") + extension + QStringLiteral(")|*")
                    + extension + QLatin1Char('|');
        }
        text.chop(1);
        return text;
    });
}

FileType *FileTypeCollection::findByExtension(const QString &extension) const
{
    const qsizetype at = findKey(extension);
    if (at >= 0)
        return m_types.at(at).type;
    for (const Entry &entry : m_types) {
        if (entry.type->Extention().compare(extension, Qt::CaseInsensitive) == 0)
            return entry.type;
    }
    return nullptr;
}

qint32 FileTypeCollection::positionOf(const FileType *type) const
{
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types.at(i).type == type)
            return qint32(i + 1);
    }
    return 0;
}
