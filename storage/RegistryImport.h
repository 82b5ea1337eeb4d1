#pragma once

class KSINIFileHandler;
class KSRegistryKey;
class KSStorageString;
class LedgerixStdInterface;

/**
 * The imports a registry key takes part in, when one storage object is
 * assigned to another's Value. The source's version has been accepted by
 * the caller; fields travel through GetValue and SetValue with Tab.
 */
namespace RegistryImport {

/// A storage string's pages (the first into the selected section, every
/// other into a sub-key of its name), a key's own values, or an INI file's
/// sections (DEFAULT into the key itself, the others into sub-keys).
void intoRegistry(KSRegistryKey &target, LedgerixStdInterface &source);

/// A section named after the key, then one section per sub-key (one level).
void intoIni(KSINIFileHandler &target, KSRegistryKey &source);

/// The same layout as pages: the first page named after the key, then one
/// page per sub-key. The target has been emptied to one page by the caller.
void intoStorageString(KSStorageString &target, KSRegistryKey &source);

} // namespace RegistryImport
