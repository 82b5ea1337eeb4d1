#include "LedgerixImport.h"

#include "LedgerixErrors.h"
#include "LedgerixStdInterface.h"
#include "ValueTyping.h"
#include "VariantHelpers.h"

namespace LedgerixImport {

bool acceptSourceVersion(LedgerixStdInterface &source)
{
    const QVariant version = source.Version(false);
    // An invalidated registry key (errors off) has nothing to give: importing
    // it would empty the target or write under an empty name.
    if (source.property("Invalidated").toBool())
        return false;
    // With the library's errors switched off the import carries on past the
    // version check, like every other check of the library.
    if (!ValueTyping::IsDouble(version) || Variants::toDouble(version).value_or(0.0) < 2.0)
        LedgerixErrors::RaiseLibraryError(LedgerixErrors::IncompatibleVersion);
    return true;
}

void copyFields(LedgerixStdInterface &source, const QStringList &sFieldNames, LedgerixStdInterface &target)
{
    const QString tab = ValueTyping::tab();
    for (const QString &name : sFieldNames)
        target.SetValue(name, source.GetValue(name, tab), tab);
}

} // namespace LedgerixImport
