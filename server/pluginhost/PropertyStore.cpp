#include "PropertyStore.h"

#include "Guard.h"
#include "LedgerixStdInterface.h"
#include "RuntimeErrors.h"

namespace {

const QString tab = QStringLiteral("\t");

} // namespace

PropertyStore::PropertyStore(QObject *parent)
    : QObject(parent)
{}

PropertyStore::~PropertyStore() = default;

void PropertyStore::Initialize(LedgerixStdInterface *storage)
{
    passOn(QStringLiteral("PropertyStore.Initialize"), [&] {
        if (!storage)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        delete m_storage.data();
        storage->setParent(this);
        m_storage = storage;
    });
}

LedgerixStdInterface *PropertyStore::storage() const
{
    // A store made for an empty name has no storage at all.
    if (!m_storage)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_storage;
}

void PropertyStore::SetProperty(const QString &Name, const QVariant &Value)
{
    storage()->SetValue(Name, Value, tab);
}

QVariant PropertyStore::GetProperty(const QString &Name)
{
    return storage()->GetValue(Name, tab);
}
