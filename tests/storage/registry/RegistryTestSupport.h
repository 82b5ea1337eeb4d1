#pragma once

#include "AutomationError.h"
#include "LedgerixErrors.h"
#include "RegistryStore.h"

#include <QStringList>
#include <QUuid>

#include <gtest/gtest.h>

#include <optional>

namespace RegistryTest {

/// A key path no other test uses (all tests of a process share one store).
inline QString uniqueKey(const QString &hint)
{
    return QStringLiteral("Software\\Test\\") + hint + QLatin1Char('_')
        + QUuid::createUuid().toString(QUuid::Id128).left(8);
}

struct RawValue
{
    quint32 type = 0;
    QByteArray data;
};

/// A value as the store holds it, or nothing when it is missing.
inline std::optional<RawValue> rawValue(const QString &keyPath, const QString &name,
                                        quint32 root = Registry::CurrentUser)
{
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key key;
    if (store.openKey(root, keyPath, Registry::Read, &key) != Registry::Success)
        return std::nullopt;
    RawValue value;
    const qint32 result = store.queryValue(key, name, &value.type, &value.data);
    store.closeKey(key);
    if (result != Registry::Success)
        return std::nullopt;
    return value;
}

inline bool keyExists(const QString &keyPath, quint32 root = Registry::CurrentUser)
{
    Registry::Key key;
    return RegistryStore::forCurrentUser().openKey(root, keyPath, Registry::Read, &key) == Registry::Success;
}

/// Turns the library's errors off for one scope.
struct ErrorsOff
{
    ErrorsOff() { LedgerixErrors::SetRaiseErrors(false); }
    ~ErrorsOff() { LedgerixErrors::SetRaiseErrors(true); }
};

/// Runs fn and hands back the error it raised (a failed expectation when none).
template<typename Fn>
AutomationError raised(Fn &&fn)
{
    try {
        fn();
    } catch (const AutomationError &error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return {};
}

} // namespace RegistryTest
