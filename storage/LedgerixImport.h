#pragma once

#include <QStringList>

class LedgerixStdInterface;

/**
 * What every import (assigning one storage object to another's Value) shares:
 * the version check of the source and the copying of fields.
 *
 *     if (!LedgerixImport::acceptSourceVersion(source))
 *         return;
 *     LedgerixImport::copyFields(source, source.GetFieldNames(), *this);
 */
namespace LedgerixImport {

/// Raises 10016 unless the source's Version(False) is a decimal number
/// (IsDouble) of at least 2.0; with the library's errors switched off the
/// import carries on past that check, like every other check of the library.
/// False (nothing may be copied) only for an invalidated registry key.
bool acceptSourceVersion(LedgerixStdInterface &source);

/// Copies the named fields, read with the source's GetValue (Tab, array and
/// number detection on) and written with the target's SetValue (Tab), so
/// arrays arrive as Tab-joined text.
void copyFields(LedgerixStdInterface &source, const QStringList &sFieldNames, LedgerixStdInterface &target);

} // namespace LedgerixImport
