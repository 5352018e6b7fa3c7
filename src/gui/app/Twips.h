#pragma once

#include <QRect>
#include <QSize>

// Window layouts are given in twips (1/1440 inch); the screen's logical DPI turns them into pixels.
// On a screen too small for the main window as designed (1024 x 768 at 150 %), every layout is
// drawn smaller by the same scale, so that the main window stays inside the screen.
namespace twips {

// The client area of the main window, the largest window of the program, in twips.
inline constexpr QSize kMainClientArea{11265, 6570};

// 1, or less where the main window with its frame, title bar and menu bar would not fit the
// primary screen's available area (never below 0.6).
double scale();

int toPixels(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace twips
