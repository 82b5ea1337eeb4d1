#pragma once

#include <QString>

class KSINIFileHandler;
class KSStorageString;
class QObject;

/**
 * Copying storage objects into a storage string, and a storage string into
 * an INI file, when one is assigned to the other's Value. Fields travel
 * through GetValue and SetValue with Tab, so arrays arrive Tab-joined and
 * numeric text may arrive as a number's text.
 */
namespace StorageStringImport {

/// True for the classes whose assignment is an import rather than a value.
bool isStorageObject(const QObject *object);

/// One page per source page, section or key; the target must be multi-page
/// (10018) and starts as one empty page. Importing a store into itself
/// changes nothing.
void intoStorageString(KSStorageString &target, QObject &source);

/// One section per page (an unnamed page goes into "DEFAULT"); the source's
/// current page is selected again afterwards.
void intoIni(KSINIFileHandler &target, KSStorageString &source);

/// The storage string internals an import works on.
class Access
{
public:
    static void reset(KSStorageString &store);
    static void selectPage(KSStorageString &store, int page);
    static void nameCurrentPage(KSStorageString &store, const QString &name);
};

} // namespace StorageStringImport
