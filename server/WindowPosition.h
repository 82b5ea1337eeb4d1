#pragma once

#include <QVariant>

class FormWindow;

/**
 * Saving and restoring a debug window's position through the storage
 * library's form parameters, under the window's Name.
 *
 * On a first run nothing was saved yet, and the registry store answers the
 * missing record with its "Bad Key" error: Restore() takes that as "no
 * record" and leaves the window where it is. Any other failure goes on.
 */
namespace WindowPosition {

/// Applies the saved record, if any; extra receives the saved extra value
/// and stays untouched when there is none.
void Restore(FormWindow &form, QVariant &extra);
/// Saves the position with extra as the extra value, leaving a maximised or
/// minimised window as it is.
void Save(FormWindow &form, qint32 extra);

} // namespace WindowPosition
