#include "PropertyStoreCollection.h"

#include "AppFolders.h"
#include "Guard.h"
#include "KeyedPosition.h"
#include "KSINIFileHandler.h"
#include "PropertyStore.h"
#include "RuntimeErrors.h"


namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PropertyStoreCollection") + QLatin1String(procedure);
}

LedgerixStdInterface *makeStorage(qint32 storageType)
{
    switch (storageType) {
    case 0: return new KSINIFileHandler;
    default: RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
    }
}

} // namespace

PropertyStoreCollection::PropertyStoreCollection(QObject *parent)
    : PropertyStoreCollection(defaultFilePath(), parent)
{}

PropertyStoreCollection::PropertyStoreCollection(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
{}

PropertyStoreCollection::~PropertyStoreCollection() = default;

QString PropertyStoreCollection::defaultFilePath()
{
    return AppFolders::current().pluginPropertiesFile();
}

void PropertyStoreCollection::Initialize(qint32 StorageType)
{
    passOn(label(".Initialize"), [&] {
        // Stores made earlier stay usable by whoever holds them; they are only no longer listed.
        m_storageType = StorageType;
        m_stores.clear();
        m_initialized = true;
    });
}

PropertyStore *PropertyStoreCollection::Add(const QString &sKey)
{
    return passOn(label(".Add"), [&] {
        auto *store = new PropertyStore(this);
        if (sKey.isEmpty())
            return store;
        if (!m_initialized) {
            delete store;
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        }
        for (const auto &entry : std::as_const(m_stores)) {
            if (entry.first.compare(sKey, Qt::CaseInsensitive) == 0) {
                delete store;
                RuntimeErrors::raise(RuntimeErrors::KeyAlreadyAssociated, Guard::defaultSource());
            }
        }
        try {
            LedgerixStdInterface *storage = makeStorage(m_storageType);
            store->Initialize(storage);
            storage->setPath(m_filePath);
            storage->setSection(sKey);
        } catch (...) {
            delete store;
            throw;
        }
        m_stores.append({sKey, store});
        return store;
    });
}

PropertyStore *PropertyStoreCollection::Item(const QVariant &vntIndexKey) const
{
    return passOn(label(".Item (Get)"), [&] {
        const qsizetype index
            = keyedPosition(vntIndexKey, m_stores.size(), [&](qsizetype i) { return m_stores.at(i).first; });
        return m_stores.at(index).second;
    });
}

qint32 PropertyStoreCollection::Count() const
{
    return passOn(label(".Count (Get)"), [&] { return qint32(m_stores.size()); });
}
