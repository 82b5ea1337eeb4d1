#include "StorageStringImport.h"

#include "KSINIFileHandler.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "LedgerixErrors.h"
#include "LedgerixImport.h"
#include "RegistryImport.h"

namespace StorageStringImport {

namespace {

void copyPage(KSStorageString &source, LedgerixStdInterface &target)
{
    LedgerixImport::copyFields(source, source.GetFieldNames(), target);
}

void fromStorageString(KSStorageString &target, KSStorageString &source)
{
    const int remembered = source.Page().toInt();
    // Pages are walked directly: a source in single-page mode (bound to a
    // control) still hands over all its pages.
    Access::selectPage(source, 1);
    Access::nameCurrentPage(target, source.PageName());
    const int count = source.PageCount();
    for (int page = 1; page <= count; ++page) {
        Access::selectPage(source, page);
        if (page > 1)
            target.AddPage(source.PageName(), true);
        copyPage(source, target);
    }
    Access::selectPage(source, remembered);
}

void fromIni(KSStorageString &target, KSINIFileHandler &source)
{
    const QStringList sections = source.GetSectionNames();
    for (qsizetype i = 0; i < sections.size(); ++i) {
        source.setSection(sections[i]);
        if (i == 0)
            Access::nameCurrentPage(target, sections[i]);
        else
            target.AddPage(sections[i], true);
        LedgerixImport::copyFields(source, source.GetFieldNames(), target);
    }
}

} // namespace

bool isStorageObject(const QObject *object)
{
    if (!object)
        return false;
    const QByteArrayView kind(object->metaObject()->className());
    return kind == "KSStorageString" || kind == "KSRegistryKey" || kind == "KSINIFileHandler";
}

void intoStorageString(KSStorageString &target, QObject &source)
{
    if (&source == &target)
        return;
    if (!target.MultiPage())
        LedgerixErrors::RaiseLibraryError(LedgerixErrors::IllegalCallInSinglePageMode);
    auto *store = qobject_cast<LedgerixStdInterface *>(&source);
    if (!store || !LedgerixImport::acceptSourceVersion(*store))
        return;
    Access::reset(target);
    const QByteArrayView kind(source.metaObject()->className());
    if (kind == "KSStorageString")
        fromStorageString(target, static_cast<KSStorageString &>(source));
    else if (kind == "KSRegistryKey")
        RegistryImport::intoStorageString(target, static_cast<KSRegistryKey &>(source));
    else if (kind == "KSINIFileHandler")
        fromIni(target, static_cast<KSINIFileHandler &>(source));
}

void intoIni(KSINIFileHandler &target, KSStorageString &source)
{
    const int remembered = source.Page().toInt();
    const int count = source.PageCount();
    for (int page = 1; page <= count; ++page) {
        Access::selectPage(source, page);
        const QString name = source.PageName();
        target.setSection(name.isEmpty() ? QStringLiteral("DEFAULT") : name);
        copyPage(source, target);
    }
    Access::selectPage(source, remembered);
}

void Access::reset(KSStorageString &store)
{
    store.m_pages = {KSStorageString::PageData {}};
    store.m_page = 1;
}

void Access::selectPage(KSStorageString &store, int page)
{
    store.selectPage(page);
}

void Access::nameCurrentPage(KSStorageString &store, const QString &name)
{
    store.current().name = name;
}

} // namespace StorageStringImport
