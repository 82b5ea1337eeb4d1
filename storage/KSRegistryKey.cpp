#include "KSRegistryKey.h"

#include "Guard.h"
#include "LedgerixErrors.h"
#include "LedgerixImport.h"
#include "LedgerixVersion.h"
#include "RegistryImport.h"
#include "RegistryStore.h"
#include "StorageStringImport.h"
#include "SubKeysCollection.h"
#include "ValueTyping.h"
#include "VariantHelpers.h"

#include <optional>

namespace {

const QString className = QStringLiteral("KSRegistryKey");

QString label(const char *procedure)
{
    return className + QLatin1Char('.') + QLatin1String(procedure);
}

QString tab()
{
    return ValueTyping::tab();
}

// The library's own numbers for the registry codes it knows; 0 for the rest.
qint32 libraryErrorFor(qint32 result)
{
    if (result >= 1 && result <= 8)
        return LedgerixErrors::BadDb + (result - 1);
    if (result == 87)
        return LedgerixErrors::InvalidParameters;
    if (result == 259)
        return LedgerixErrors::NoMoreItems;
    return 0;
}

enum class StoredType {
    None,
    Dword,
    String,
    Binary
};

StoredType storedTypeOf(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Bool: return StoredType::Dword;
    case QMetaType::Double:
    case QMetaType::QString: return StoredType::String;
    case QMetaType::UChar:
    case QMetaType::QByteArray: return StoredType::Binary;
    default: return Variants::isArray(value) ? StoredType::String : StoredType::None;
    }
}

RegistryStore &store()
{
    return RegistryStore::forCurrentUser();
}

const QString separators[] = {QStringLiteral("/"), QStringLiteral("\\"), QStringLiteral("|"), QStringLiteral(".")};

} // namespace

KSRegistryKey::KSRegistryKey(QObject *parent)
    : LedgerixStdInterface(parent)
{}

KSRegistryKey::~KSRegistryKey() = default;

QVariant KSRegistryKey::missingDefault()
{
    return Variants::missing();
}

QString KSRegistryKey::rootName(qint32 root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    default: return {};
    }
}

bool KSRegistryKey::refuseWhenInvalidated() const
{
    if (!m_invalidated)
        return false;
    LedgerixErrors::RaiseLibraryError(LedgerixErrors::ObjectInvalidated);
    // With errors switched off the raise returns. The object no longer names
    // a key (its name is empty), so going on would act on the root itself.
    return true;
}

void KSRegistryKey::recordResult(qint32 result)
{
    passOn(label("ErrorState (Let)"), [&] {
        if (refuseWhenInvalidated())
            return;
        m_errorState = result;
        if (const qint32 number = libraryErrorFor(result))
            LedgerixErrors::RaiseLibraryError(number);
    });
}

void KSRegistryKey::setRootKey(qint32 root)
{
    passOn(label("RootKey (Let)"), [&] {
        if (refuseWhenInvalidated() || (m_rootFixed && !m_reselecting))
            return;
        m_root = root;
        m_rootFixed = true;
    });
}

qint32 KSRegistryKey::RootKey() const
{
    return passOn(label("RootKey (Get)"), [&] {
        refuseWhenInvalidated();
        return m_root;
    });
}

void KSRegistryKey::setKeyName(const QString &sKeyName)
{
    passOn(label("KeyName (Let)"), [&] {
        if (refuseWhenInvalidated())
            return;
        selectKeyName(sKeyName);
    });
}

void KSRegistryKey::selectKeyName(const QString &sKeyName)
{
    if ((m_keyFixed && !m_reselecting) || sKeyName.isEmpty())
        return;
    m_keyName = sKeyName;
    Registry::Key key;
    const qint32 result = store().createKey(quint32(m_root), m_keyName, Registry::AllAccess, &key);
    store().closeKey(key);
    recordResult(result);
    m_keyFixed = true;
    m_keyCreated = true;
}

QString KSRegistryKey::KeyName() const
{
    return passOn(label("KeyName (Get)"), [&] {
        refuseWhenInvalidated();
        return m_keyName;
    });
}

QVariant KSRegistryKey::Value() const
{
    return passOn(label("Value (Get)"), [&] {
        refuseWhenInvalidated();
        return m_value;
    });
}

void KSRegistryKey::setValue(const QVariant &vValue)
{
    passOn(label("Import (Let)"), [&] {
        if (refuseWhenInvalidated())
            return;
        if (auto *source = qobject_cast<LedgerixStdInterface *>(ValueTyping::ObjectOf(vValue));
            StorageStringImport::isStorageObject(source)) {
            importFrom(*source);
            return;
        }
        SetValue(m_lastValueName, vValue, m_lastDelimiter);
    });
}

qint32 KSRegistryKey::ErrorState() const
{
    return passOn(label("ErrorState (Get)"), [&] {
        refuseWhenInvalidated();
        return m_errorState;
    });
}

SubKeysCollection *KSRegistryKey::SubKeys()
{
    return passOn(label("SubKeys (Get)"), [&]() -> SubKeysCollection * {
        // With errors off an invalidated key answers with an empty collection
        // of its own: callers walk it without a test for null.
        if (refuseWhenInvalidated()) {
            if (!m_noSubKeys)
                m_noSubKeys = new SubKeysCollection(this);
            return m_noSubKeys;
        }
        if (!m_subKeys)
            m_subKeys = new SubKeysCollection(this);
        return m_subKeys;
    });
}

bool KSRegistryKey::IsOwned() const
{
    return passOn(label("IsOwned (Get)"), [&] {
        refuseWhenInvalidated();
        return m_owner != nullptr;
    });
}

QString KSRegistryKey::Version(bool bShow)
{
    return passOn(label("Version"), [&] {
        refuseWhenInvalidated();
        return LedgerixVersion::report(this, bShow);
    });
}

void KSRegistryKey::ErrorStateClear()
{
    passOn(label("ErrorStateClear"), [&] {
        if (!refuseWhenInvalidated())
            m_errorState = 0;
    });
}

bool KSRegistryKey::SetValue(const QString &sValueName, const QVariant &vValue, const QString &sArrayDelim)
{
    return passOn(label("SetValue"), [&] {
        if (refuseWhenInvalidated())
            return false;
        const QString name = ValueTyping::TrimBlanks(sValueName);
        if (name.isEmpty())
            LedgerixErrors::RaiseLibraryError(LedgerixErrors::ZeroLengthFieldName);
        m_errorState = 0;
        const StoredType type = m_keyCreated ? storedTypeOf(vValue) : StoredType::None;
        m_lastValueName = name;
        m_lastDelimiter = sArrayDelim;
        m_value = vValue;

        QByteArray data;
        quint32 registryType = Registry::TypeNone;
        if (type == StoredType::Dword) {
            registryType = Registry::TypeDword;
            data = RegistryStore::dwordData(vValue.metaType().id() == QMetaType::Bool ? (vValue.toBool() ? -1 : 0)
                                                                                      : vValue.toInt());
        } else if (type == StoredType::String) {
            registryType = Registry::TypeString;
            data = RegistryStore::stringData(ValueTyping::StoredText(vValue, sArrayDelim));
        }

        Registry::Key key;
        store().openKey(quint32(m_root), m_keyName, Registry::SetValue, &key);
        // Unsupported types write nothing; a key that could not be opened
        // answers the write with "invalid handle", as the platform does.
        const qint32 result = registryType == Registry::TypeNone ? qint32(Registry::Success)
                                                                 : store().setValue(key, name, registryType, data);
        recordResult(result);
        store().closeKey(key);
        return registryType != Registry::TypeNone && result == Registry::Success;
    });
}

QVariant KSRegistryKey::GetValue(const QString &sValueName, const QString &sArrayDelim, bool bDetectArray,
                                 bool bDetectNum, const QVariant &vDefaultReturn)
{
    return passOn(label("GetValue"), [&] {
        if (refuseWhenInvalidated())
            return vDefaultReturn;
        m_errorState = 0;
        QVariant value;
        // Opening and querying in one snapshot takes the store's locks once.
        std::optional<RegistryStore::ReadScope> snapshot(std::in_place, store());
        Registry::Key key;
        const qint32 opened = store().openKey(quint32(m_root), m_keyName, Registry::QueryValue, &key);
        // A key that cannot be opened is the failure to record; the query
        // on its missing handle would only add "invalid handle".
        recordResult(opened);
        if (opened == Registry::Success) {
            quint32 type = Registry::TypeNone;
            QByteArray data;
            const qint32 queried = store().queryValue(key, sValueName, &type, &data);
            store().closeKey(key);
            if (queried != Registry::Success) {
                recordResult(queried);
            } else if (type == Registry::TypeString) {
                // Drop the terminating NUL; data written without one keeps every character.
                if (data.endsWith('\0'))
                    data.chop(1);
                value = QString::fromUtf8(data);
            } else if (type == Registry::TypeDword) {
                value = RegistryStore::dwordFromData(data);
            }
        }
        snapshot.reset();

        QVariant result = ValueTyping::PrepForGet(value, sArrayDelim, bDetectArray, bDetectNum);
        if (Variants::isEmpty(result))
            result = vDefaultReturn;
        m_lastValueName = sValueName;
        m_lastDelimiter = sArrayDelim;
        m_value = result;
        return result;
    });
}

QVariant KSRegistryKey::DeleteValue(const QString &sValueName)
{
    return passOn(label("DeleteValue"), [&] {
        if (refuseWhenInvalidated())
            return QVariant();
        Registry::Key key;
        store().openKey(quint32(m_root), m_keyName, Registry::SetValue, &key);
        const qint32 result = store().deleteValue(key, sValueName);
        store().closeKey(key);
        recordResult(result);
        if (sValueName.compare(m_lastValueName, Qt::CaseInsensitive) == 0) {
            m_lastValueName.clear();
            m_lastDelimiter = tab();
        }
        return QVariant();
    });
}

bool KSRegistryKey::hasSubKeys() const
{
    Registry::Key key;
    if (store().openKey(quint32(m_root), m_keyName, Registry::EnumerateSubKeys, &key) != Registry::Success)
        return false;
    QString name;
    const bool any = store().enumKey(key, 0, &name, -1) == Registry::Success;
    store().closeKey(key);
    return any;
}

void KSRegistryKey::DeleteKey(bool bRecursive)
{
    passOn(label("DeleteKey"), [&] {
        if (refuseWhenInvalidated())
            return;
        const bool owned = m_owner != nullptr;
        if (bRecursive) {
            // Each child removes itself from the collection as it goes.
            for (KSRegistryKey *child : SubKeys()->NewEnum())
                child->DeleteKey(true);
        } else if (hasSubKeys()) {
            LedgerixErrors::RaiseLibraryError(LedgerixErrors::KeyHasSubkeys);
        }
        if (m_subKeys)
            m_subKeys->clearItems();
        recordResult(store().deleteKey(quint32(m_root), m_keyName));
        if (owned)
            m_owner->removeItem(LastElementOfKeyName());
        m_rootFixed = false;
        m_keyFixed = false;
        m_keyName.clear();
        m_lastValueName.clear();
        m_lastDelimiter = tab();
        m_invalidated = true;
    });
}

QStringList KSRegistryKey::GetValueNames()
{
    return passOn(label("GetValueNames"), [&] {
        QStringList names;
        if (refuseWhenInvalidated())
            return names;
        Registry::Key key;
        std::optional<RegistryStore::ReadScope> snapshot(std::in_place, store());
        if (store().openKey(quint32(m_root), m_keyName, Registry::QueryValue, &key) != Registry::Success)
            return names;
        // Only the names are read, so values of any size are listed.
        qint32 result = Registry::Success;
        QString name;
        for (quint32 index = 0; (result = store().enumValue(key, index, &name, -1)) == Registry::Success; ++index) {
            if (!ValueTyping::TrimBlanks(name).isEmpty())
                names.append(name);
        }
        store().closeKey(key);
        snapshot.reset();
        if (result != Registry::NoMoreItems)
            recordResult(result);
        return names;
    });
}

bool KSRegistryKey::Invalidated() const
{
    return m_invalidated;
}

void KSRegistryKey::setOwnerCollection(SubKeysCollection *owner)
{
    passOn(label("OwnerCollection (Set)"), [&] {
        if (!refuseWhenInvalidated())
            m_owner = owner;
    });
}

QString KSRegistryKey::LastElementOfKeyName() const
{
    return passOn(label("LastElementOfKeyName (Get)"),
                  [&] { return m_keyName.mid(m_keyName.lastIndexOf(QLatin1Char('\\')) + 1); });
}

void KSRegistryKey::setInvalidated(bool bInvalidated)
{
    if (bInvalidated)
        m_invalidated = true;
}

void KSRegistryKey::interfaceSetPath(const QString &sPath)
{
    passOn(label("LedgerixStdInterface_Path (Let)"), [&] {
        passOn(label("Path (Let)"), [&] {
            if (refuseWhenInvalidated())
                return;
            static const qint32 roots[] = {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_USERS};
            QString keyPath = sPath;
            for (const QString &separator : separators) {
                const qsizetype at = sPath.indexOf(separator);
                const QString head = at < 0 ? sPath : sPath.left(at);
                bool found = false;
                for (qint32 root : roots) {
                    if (head == rootName(root)) {
                        setRootKey(root);
                        keyPath = at < 0 ? QString() : sPath.mid(at + separator.size());
                        found = true;
                        break;
                    }
                }
                if (found)
                    break;
            }
            // A file name's extension (an INI-style location) is dropped.
            if (keyPath.right(4).contains(QLatin1Char('.')))
                keyPath.truncate(keyPath.lastIndexOf(QLatin1Char('.')));
            setKeyName(keyPath);
        });
    });
}

QString KSRegistryKey::interfacePath() const
{
    return passOn(label("LedgerixStdInterface_Path (Get)"), [&] {
        return passOn(label("Path (Get)"), [&] {
            refuseWhenInvalidated();
            return rootName(m_root) + QLatin1Char('\\') + m_keyName;
        });
    });
}

void KSRegistryKey::interfaceSetSection(const QString &sSection)
{
    passOn(label("LedgerixStdInterface_Section (Let)"), [&] {
        passOn(label("Section (Let)"), [&] {
            if (refuseWhenInvalidated())
                return;
            if (!m_sectionActive && ValueTyping::TrimBlanks(sSection).isEmpty())
                return;
            if (!m_sectionActive)
                m_sectionBase = m_keyName;
            QString keyName;
            if (sSection.isEmpty()) {
                keyName = m_sectionBase;
            } else {
                // Below an unnamed key the section is a key of its own under the root.
                keyName = m_sectionBase.isEmpty() ? sSection : m_sectionBase + QLatin1Char('\\') + sSection;
            }
            m_sectionActive = !sSection.isEmpty();
            if (keyName.isEmpty()) {
                m_keyName.clear(); // back to the unnamed key: nothing to create
                return;
            }
            m_reselecting = true;
            try {
                selectKeyName(keyName);
            } catch (...) {
                m_reselecting = false;
                throw;
            }
            m_reselecting = false;
        });
    });
}

QString KSRegistryKey::interfaceSection() const
{
    return passOn(label("LedgerixStdInterface_Section (Get)"), [&] {
        return passOn(label("Section (Get)"), [&] {
            refuseWhenInvalidated();
            if (!m_sectionActive)
                return QString();
            for (const QString &separator : separators) {
                const qsizetype at = m_keyName.lastIndexOf(separator);
                if (at >= 0)
                    return m_keyName.mid(at + separator.size());
            }
            return m_keyName;
        });
    });
}

bool KSRegistryKey::interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter)
{
    return passOn(label("LedgerixStdInterface_SetValue"), [&] { return SetValue(sFieldName, vValue, sDelimiter); });
}

QVariant KSRegistryKey::interfaceGetValue(const QString &sFieldName, const QString &sDelimiter)
{
    return passOn(label("LedgerixStdInterface_GetValue"),
                  [&] { return GetValue(sFieldName, sDelimiter, true, true, QString()); });
}

QVariant KSRegistryKey::interfaceVersion(bool bShow)
{
    return passOn(label("LedgerixStdInterface_Version"), [&] { return QVariant(Version(bShow)); });
}

void KSRegistryKey::importFrom(LedgerixStdInterface &source)
{
    if (LedgerixImport::acceptSourceVersion(source))
        RegistryImport::intoRegistry(*this, source);
}
