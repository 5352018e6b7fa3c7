#pragma once

#include <QRect>

// Window layouts are given in twips (1/1440 inch); the screen's logical DPI turns them into pixels.
namespace twips {

int toPixels(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace twips
