#include "WindowPosition.h"

#include "AutomationError.h"
#include "FormWindow.h"
#include "LedgerixErrors.h"
#include "LedgerixLibrary.h"

namespace WindowPosition {

void Restore(FormWindow &form, QVariant &extra)
{
    try {
        QVariant saved = extra;
        LedgerixLibrary::predeclared().KSRestoreFormParams(&form, &saved);
        extra = saved;
    } catch (const AutomationError &error) {
        // No record yet: the window keeps its design position.
        if (error.number() != LedgerixErrors::BadKey)
            throw;
    }
}

void Save(FormWindow &form, qint32 extra)
{
    LedgerixLibrary::predeclared().KSSaveFormParams(&form, QVariant(extra), false);
}

} // namespace WindowPosition
