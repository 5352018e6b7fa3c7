#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace twips {

namespace {

// What a main window takes besides its client area, in device-independent pixels: the frame at
// both sides, and the title bar, the menu bar and the frame below (as Windows 10 draws them).
constexpr int kBesidesWidth = 16;
constexpr int kBesidesHeight = 64;
// Smaller than that, the captions could no longer be read: a smaller screen shows part of it.
constexpr double kSmallestScale = 0.6;

double logicalDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchX();
    return 96.0;
}

} // namespace

double scale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1.0;
    const QRect area = screen->availableGeometry();
    const double pixelsPerTwip = logicalDpi() / 1440.0;
    const double across = (area.width() - kBesidesWidth) / (kMainClientArea.width() * pixelsPerTwip);
    const double down = (area.height() - kBesidesHeight) / (kMainClientArea.height() * pixelsPerTwip);
    return std::clamp(std::min(across, down), kSmallestScale, 1.0);
}

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() * scale() / 1440.0));
}

QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips
