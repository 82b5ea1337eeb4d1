#include "WindowPosition.h"

#include "FormWindow.h"

namespace WindowPosition {

void Restore(FormWindow &form, QVariant &extra)
{
    Q_UNUSED(form);
    Q_UNUSED(extra);
}

void Save(FormWindow &form, qint32 extra)
{
    Q_UNUSED(form);
    Q_UNUSED(extra);
}

} // namespace WindowPosition
