#pragma once

#include <Qt>
#include <QtGlobal>

/**
 * Keys as plug-ins hear them: Windows virtual-key codes (A is 65, F1 is 112)
 * and the shift state (1 Shift, 2 Ctrl, 4 Alt), whatever the keyboard layout
 * of the desktop.
 */
namespace KeyCodes {

/// The virtual-key code of a Qt key (0 when it has none).
qint16 virtualKey(int qtKey, Qt::KeyboardModifiers modifiers = {});
qint16 shiftState(Qt::KeyboardModifiers modifiers);

} // namespace KeyCodes
