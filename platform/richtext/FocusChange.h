#pragma once

#include <QFocusEvent>

/**
 * Which focus events are a control's own: the focus moving to or from the
 * control inside its window. A window being activated or deactivated, or a
 * menu popping up over it, moves no focus between controls (the window's
 * activation has events of its own), so controls raise GotFocus and LostFocus
 * only for the rest.
 */
namespace FocusChange {

inline bool isControlFocusChange(const QFocusEvent &event)
{
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

} // namespace FocusChange
