#include "RegistryImport.h"

#include "KSINIFileHandler.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "LedgerixImport.h"
#include "StorageStringImport.h"
#include "SubKeysCollection.h"

namespace RegistryImport {

namespace {

void copyValues(KSRegistryKey &source, LedgerixStdInterface &target)
{
    LedgerixImport::copyFields(source, source.GetValueNames(), target);
}

} // namespace

void intoRegistry(KSRegistryKey &target, LedgerixStdInterface &source)
{
    LedgerixStdInterface &store = target;
    const QByteArrayView kind(source.metaObject()->className());
    if (kind == "KSStorageString") {
        auto &pages = static_cast<KSStorageString &>(source);
        const int remembered = pages.Page().toInt();
        const int count = pages.PageCount();
        for (int page = 1; page <= count; ++page) {
            StorageStringImport::Access::selectPage(pages, page);
            if (page > 1)
                store.setSection(pages.PageName());
            LedgerixImport::copyFields(pages, pages.GetFieldNames(), target);
        }
        StorageStringImport::Access::selectPage(pages, remembered);
        store.setSection(QString());
    } else if (kind == "KSRegistryKey") {
        copyValues(static_cast<KSRegistryKey &>(source), target);
    } else if (kind == "KSINIFileHandler") {
        auto &ini = static_cast<KSINIFileHandler &>(source);
        const QStringList sections = ini.GetSectionNames();
        for (const QString &section : sections) {
            ini.setSection(section);
            store.setSection(section == QLatin1String("DEFAULT") ? QString() : section);
            LedgerixImport::copyFields(ini, ini.GetFieldNames(), target);
        }
        store.setSection(QString());
    }
}

void intoIni(KSINIFileHandler &target, KSRegistryKey &source)
{
    target.setSection(source.LastElementOfKeyName());
    copyValues(source, target);
    for (KSRegistryKey *child : source.SubKeys()->NewEnum()) {
        target.setSection(child->LastElementOfKeyName());
        copyValues(*child, target);
    }
}

void intoStorageString(KSStorageString &target, KSRegistryKey &source)
{
    StorageStringImport::Access::nameCurrentPage(target, source.LastElementOfKeyName());
    copyValues(source, target);
    for (KSRegistryKey *child : source.SubKeys()->NewEnum()) {
        target.AddPage(child->LastElementOfKeyName(), true);
        copyValues(*child, target);
    }
}

} // namespace RegistryImport
