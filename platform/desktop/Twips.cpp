#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

constexpr double twipsPerInch = 1440.0;
constexpr double fallbackTwipsPerPixel = 15.0;

double perPixel(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return fallbackTwipsPerPixel;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? twipsPerInch / dpi : fallbackTwipsPerPixel;
}

} // namespace

namespace Twips {

double perPixelX() { return perPixel(true); }
double perPixelY() { return perPixel(false); }

int toPixelsX(double twips) { return int(std::lround(twips / perPixelX())); }
int toPixelsY(double twips) { return int(std::lround(twips / perPixelY())); }
double fromPixelsX(int pixels) { return pixels * perPixelX(); }
double fromPixelsY(int pixels) { return pixels * perPixelY(); }

} // namespace Twips
