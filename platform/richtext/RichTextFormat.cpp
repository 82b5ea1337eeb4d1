#include "RichTextFormat.h"

#include <cmath>

namespace RichTextFormat {

int toTwips(double pixels)
{
    return int(std::lround(pixels * twipsPerPixel));
}

QColor fromColourRef(qint32 colour)
{
    const quint32 value = quint32(colour);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

qint32 toColourRef(const QColor &colour)
{
    return qint32(quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16));
}

} // namespace RichTextFormat
