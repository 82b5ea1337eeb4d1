#pragma once

#include <QtGlobal>

class QScreen;

/**
 * Window positions and sizes travel in twips (1/1440 inch). Pixels convert
 * through the primary screen's logical DPI: 15 twips per pixel at 96 DPI.
 */
namespace Twips {

/// Twips per pixel horizontally and vertically (15 when there is no screen).
double perPixelX();
double perPixelY();

int toPixelsX(double twips);
int toPixelsY(double twips);
double fromPixelsX(int pixels);
double fromPixelsY(int pixels);

} // namespace Twips
