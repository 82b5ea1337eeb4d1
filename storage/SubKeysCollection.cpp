#include "SubKeysCollection.h"

#include "Guard.h"
#include "KSRegistryKey.h"
#include "LedgerixErrors.h"
#include "RegistryStore.h"
#include "RuntimeErrors.h"
#include "VariantHelpers.h"

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("SubKeysCollection.") + QLatin1String(procedure);
}

} // namespace

SubKeysCollection::SubKeysCollection(KSRegistryKey *parentKey)
    : QObject(parentKey)
    , m_parentKey(parentKey)
{
    load();
}

SubKeysCollection::~SubKeysCollection() = default;

void SubKeysCollection::load()
{
    m_items.clear();
    m_names.clear();
    // An invalidated key names no key any more; its name would open the root.
    if (m_parentKey->Invalidated())
        return;
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key key;
    if (store.openKey(quint32(m_parentKey->RootKey()), m_parentKey->KeyName(), Registry::AllAccess, &key)
        != Registry::Success)
        return;
    QStringList names;
    QString name;
    for (quint32 index = 0; store.enumKey(key, index, &name, 256) == Registry::Success; ++index)
        names.append(name);
    store.closeKey(key);
    for (const QString &subKey : std::as_const(names))
        Add(subKey);
}

void SubKeysCollection::Refresh()
{
    passOn(label("Refresh"), [&] {
        for (KSRegistryKey *key : std::as_const(m_items))
            key->setInvalidated(true);
        load();
    });
}

qsizetype SubKeysCollection::indexOfName(const QString &sSubKeyName) const
{
    return m_names.indexOf(sSubKeyName.toCaseFolded());
}

KSRegistryKey *SubKeysCollection::Add(const QString &sSubKeyName)
{
    return passOn(label("Add"), [&] {
        if (const qsizetype at = indexOfName(sSubKeyName); at >= 0)
            return m_items.at(at);
        if (m_parentKey->Invalidated()) {
            LedgerixErrors::RaiseLibraryError(LedgerixErrors::ObjectInvalidated);
            // Errors off: an object that does nothing, not a key under the root.
            auto *nothing = new KSRegistryKey(this);
            nothing->setInvalidated(true);
            return nothing;
        }
        // The collection parents the object, so a caller's pointer stays
        // valid after the object leaves the collection.
        auto *key = new KSRegistryKey(this);
        key->setRootKey(m_parentKey->RootKey());
        // Below an unnamed key (the root itself) a sub-key's name is its path.
        const QString parentName = m_parentKey->KeyName();
        key->setKeyName(parentName.isEmpty() ? sSubKeyName : parentName + QLatin1Char('\\') + sSubKeyName);
        key->setOwnerCollection(this);
        m_items.append(key);
        m_names.append(sSubKeyName.toCaseFolded());
        return key;
    });
}

KSRegistryKey *SubKeysCollection::Item(const QVariant &vIndexKey) const
{
    return passOn(label("Item"), [&] {
        if (vIndexKey.metaType().id() == QMetaType::QString) {
            const qsizetype at = indexOfName(vIndexKey.toString());
            if (at < 0)
                RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, LedgerixErrors::libraryName());
            return m_items.at(at);
        }
        bool isNumber = false;
        const qlonglong position = vIndexKey.toLongLong(&isNumber);
        if (!isNumber)
            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
        if (position < 1 || position > m_items.size())
            RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, LedgerixErrors::libraryName());
        return m_items.at(position - 1);
    });
}

qint32 SubKeysCollection::Count() const
{
    return qint32(m_items.size());
}

QList<KSRegistryKey *> SubKeysCollection::NewEnum() const
{
    return m_items;
}

void SubKeysCollection::removeItem(const QString &sSubKeyName)
{
    if (const qsizetype at = indexOfName(sSubKeyName); at >= 0) {
        m_items.removeAt(at);
        m_names.removeAt(at);
    }
}

void SubKeysCollection::clearItems()
{
    m_items.clear();
    m_names.clear();
}
