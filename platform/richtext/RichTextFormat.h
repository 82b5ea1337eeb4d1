#pragma once

#include <QColor>
#include <QTextFormat>

/**
 * What the view's document carries beyond Qt's own formats, and the unit
 * conversions every part of the view agrees on.
 *
 * Document lengths are pixels at 96 DPI, so a twip is exactly 1/15 of one and
 * a whole number of twips survives the round trip through the document.
 */
namespace RichTextFormat {

enum Property : int {
    /// Character property: the text refuses edits (bool).
    Protected = QTextFormat::UserProperty + 1,
    /// Character property: raise above the baseline in twips, negative lowers (int).
    CharOffset,
    /// Block property: the paragraph carries a bullet (bool).
    Bullet,
};

constexpr double twipsPerPixel = 15.0;
/// How far a bullet paragraph's text stands right of its bullet, in twips.
constexpr int bulletIndentTwips = 360;
/// Spacing of the tab stops added when a paragraph's tab count grows.
constexpr int defaultTabTwips = 720;

inline double toPixels(int twips)
{
    return twips / twipsPerPixel;
}

int toTwips(double pixels);

/// 0x00BBGGRR colour references (red in the low byte).
QColor fromColourRef(qint32 colour);
qint32 toColourRef(const QColor &colour);

} // namespace RichTextFormat
