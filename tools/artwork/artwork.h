// Drawing functions of the artwork tool. Every picture is drawn in code.
#pragma once

#include <QFont>
#include <QGradient>
#include <QImage>
#include <QLinearGradient>

class QPainter;

namespace art {

inline constexpr QRgb Silver = qRgb(192, 192, 192);
inline constexpr QRgb Navy = qRgb(29, 63, 114);
inline constexpr QRgb Red = qRgb(184, 50, 58);
inline constexpr QRgb Outline = qRgb(43, 49, 56);

// Aircraft top view laid out in the 570 x 431 display area of the loading
// window: nose to the left, fuselage centre line at y = 214.
void paintAircraft(QPainter& p);
void paintAircraftSilhouette(QPainter& p, const QColor& colour);
// Seat seen from above, facing left, scaled into r.
void paintSeat(QPainter& p, const QRectF& r);

QLinearGradient linear(QPointF from, QPointF to, const QGradientStops& stops);
QImage blankImage(int width, int height, const QColor& fill);
QFont uiFont(int pixelSize, bool bold);
QFont fittedFont(QFont font, const QString& text, qreal maxWidth);

QImage drawTopView();            // pa.bmp      855 x 647
QImage drawPersonIcon();         // person.ico  32 x 32
QImage drawEmptySeatIcon();      // leer.ico    32 x 32
QImage drawPointerIcon();        // url.ico     32 x 32
QImage drawSplash();             // splash.bmp  432 x 127
QImage drawLogo();               // logo.bmp    162 x 65
QImage drawWindowIcon(int size); // merovan.ico, one image per size of kIconSizes
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 256};
// The Linux desktop's icon theme (hicolor): the sizes menus, docks and file managers ask for.
inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QImage drawInfoPicture(); // infopic.bmp 113 x 185

} // namespace art
