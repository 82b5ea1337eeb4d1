#include "PluginLibraryFile.h"

#include "Guard.h"
#include "RuntimeErrors.h"
#include "WrenlogPluginLibrary.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// The platform's own numbers for a file without a readable type library and
// for a class that cannot be created.
constexpr qint32 cantLoadTypeLibrary = qint32(0x80029C4A);
constexpr qint32 cantCreateObject = 429;

[[noreturn]] void fail(qint32 number, const QString &description)
{
    throw AutomationError(number, description, Guard::defaultSource());
}

} // namespace

PluginLibraryFile::PluginLibraryFile(const QString &path)
    : m_path(path)
    , m_loader(path)
{
    // Resolve every symbol at load time, so a library with a missing symbol
    // fails to load here instead of crashing the server on its first call.
    m_loader.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

void PluginLibraryFile::open()
{
    const QJsonObject meta = m_loader.metaData();
    const QJsonObject typeLibrary = meta.value(QStringLiteral("MetaData")).toObject();
    const QString name = typeLibrary.value(QStringLiteral("TypeLibrary")).toString().trimmed();
    if (meta.value(QStringLiteral("IID")).toString() != QLatin1String(WrenlogPluginLibrary_iid) || name.isEmpty())
        fail(cantLoadTypeLibrary,
             QStringLiteral("Error loading type library/DLL.") + QStringLiteral(" (") + QFileInfo(m_path).fileName()
                 + QLatin1Char(')'));
    m_libraryName = name;
    m_classes.clear();
    const QJsonArray classes = typeLibrary.value(QStringLiteral("Classes")).toArray();
    for (const QJsonValue &value : classes)
        m_classes.append(value.toString());
}

QString PluginLibraryFile::className(qint32 n) const
{
    if (n < 1 || n > m_classes.size())
        RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
    return m_classes.at(n - 1);
}

QObject *PluginLibraryFile::createObject(const QString &className)
{
    QObject *root = m_loader.instance();
    if (!root)
        fail(cantCreateObject, QStringLiteral("ActiveX component can't create object: ") + m_loader.errorString());
    auto *library = qobject_cast<WrenlogPluginLibrary *>(root);
    if (!library)
        fail(cantCreateObject, QStringLiteral("ActiveX component can't create object"));
    QObject *object = library->CreateObject(className);
    if (!object)
        fail(cantCreateObject,
             QStringLiteral("ActiveX component can't create object: ") + m_libraryName + QLatin1Char('.') + className);
    return object;
}
