// The TQ 58 seen from directly above, flying to the left.
#include "artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

namespace art {
namespace {

constexpr qreal Cy = 214; // fuselage centre line

// Closes a half outline that runs from the centre line over the top back to
// the centre line by adding its mirror image below.
QPainterPath symmetric(const QPainterPath& upperHalf) {
    QPainterPath full = upperHalf;
    full.connectPath(QTransform(1, 0, 0, -1, 0, 2 * Cy).map(upperHalf.toReversed()));
    full.closeSubpath();
    return full;
}

QPainterPath fuselagePath() {
    QPainterPath p({103, Cy});
    p.cubicTo(103, Cy - 10, 106, Cy - 15, 112, Cy - 17);
    p.cubicTo(140, Cy - 26, 168, Cy - 35, 200, Cy - 38);
    p.cubicTo(240, Cy - 40, 290, Cy - 40, 312, Cy - 37);
    p.cubicTo(380, Cy - 29, 470, Cy - 12, 512, Cy - 7);
    p.cubicTo(518, Cy - 6, 520, Cy - 3, 520, Cy);
    return symmetric(p);
}

QPainterPath wingPath() {
    QPainterPath p({285, Cy});
    p.lineTo(285, Cy - 95);
    p.lineTo(278, Cy - 182);
    p.cubicTo(278, Cy - 199, 224, Cy - 199, 224, Cy - 182);
    p.lineTo(215, Cy - 95);
    p.lineTo(215, Cy);
    return symmetric(p);
}

QPainterPath stabiliserPath() {
    QPainterPath p({503, Cy});
    p.lineTo(499, Cy - 74);
    p.cubicTo(499, Cy - 87, 470, Cy - 87, 470, Cy - 74);
    p.lineTo(460, Cy - 16);
    p.quadTo(456, Cy - 10, 452, Cy);
    return symmetric(p);
}

QPainterPath finPath() {
    QPainterPath p({446, Cy});
    p.cubicTo(462, Cy - 4.5, 500, Cy - 4, 522, Cy - 1.8);
    p.lineTo(522, Cy);
    return symmetric(p);
}

QPainterPath spinnerPath() {
    QPainterPath p({87, Cy});
    p.cubicTo(88, Cy - 8, 94, Cy - 12, 104, Cy - 12);
    p.lineTo(104, Cy);
    return symmetric(p);
}

QPainterPath canopyPath() {
    QPainterPath p({299, Cy});
    p.lineTo(299, Cy - 29);
    p.cubicTo(299, Cy - 34, 295, Cy - 34, 290, Cy - 34);
    p.lineTo(232, Cy - 34);
    p.cubicTo(202, Cy - 34, 188, Cy - 24, 186, Cy);
    return symmetric(p);
}

QPainterPath bladePath(qreal dir) // dir -1: upper blade, +1: lower blade
{
    QPainterPath p({99, Cy + dir * 8});
    p.cubicTo(94, Cy + dir * 20, 95, Cy + dir * 50, 98, Cy + dir * 64);
    p.quadTo(100, Cy + dir * 67, 102, Cy + dir * 64);
    p.cubicTo(104, Cy + dir * 45, 104, Cy + dir * 20, 103, Cy + dir * 8);
    p.closeSubpath();
    return p;
}

QPainterPath silhouette() {
    return fuselagePath()
        .united(wingPath())
        .united(stabiliserPath())
        .united(spinnerPath())
        .united(bladePath(1))
        .united(bladePath(-1));
}

QPainterPath band(qreal x1, qreal y1, qreal x2, qreal y2) {
    QPainterPath p;
    p.addRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
    return p;
}

void fillAndOutline(QPainter& p, const QPainterPath& path, const QBrush& brush) {
    p.setBrush(brush);
    p.setPen(QPen(QColor(Outline), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// Panel lines, clipped to the surface they are drawn on.
void panelLines(QPainter& p, const QPainterPath& surface, const QPainterPath& lines) {
    p.save();
    p.setClipPath(surface, Qt::IntersectClip);
    p.strokePath(lines, QPen(QColor(120, 128, 138, 170), 0.6));
    p.restore();
}

void paintWing(QPainter& p) {
    const QPainterPath wing = wingPath();
    fillAndOutline(
        p, wing,
        linear({215, 0}, {285, 0}, {{0, QColor(226, 230, 235)}, {0.18, Qt::white}, {1, QColor(212, 217, 223)}}));
    QPainterPath lines;
    for (const qreal s : {-1.0, 1.0}) {
        p.fillPath(wing.intersected(band(200, Cy + s * 176, 300, Cy + s * 220)), QColor(Navy));
        p.fillPath(wing.intersected(band(200, Cy + s * 174, 300, Cy + s * 176)), QColor(Red));
        lines.addRect(QRectF(QPointF(271, Cy + s * 42), QPointF(295, Cy + s * 100))); // flap
        lines.moveTo(295, Cy + s * 104);                                              // aileron
        lines.lineTo(270.5, Cy + s * 104);
        lines.lineTo(265.5, Cy + s * 172);
        lines.lineTo(295, Cy + s * 172);
        lines.moveTo(232, Cy + s * 42); // spar
        lines.lineTo(237, Cy + s * 172);
        lines.addEllipse(QPointF(250, Cy + s * 50), 2.6, 2.6); // fuel filler
    }
    panelLines(p, wing, lines);
    p.setPen(Qt::NoPen); // navigation lights: green right (top), red left
    p.setBrush(QColor(40, 190, 80));
    p.drawEllipse(QPointF(250.5, Cy - 194), 3, 1.6);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPointF(250.5, Cy + 194), 3, 1.6);

    // registration on the right wing, tops of the letters toward the nose
    p.save();
    p.translate(251, Cy - 120);
    p.rotate(-90);
    const QString reg = QStringLiteral("TQ 58");
    p.setFont(fittedFont(uiFont(30, true), reg, 104));
    p.setPen(QColor(29, 63, 114, 225));
    p.drawText(QRectF(-60, -22, 120, 44), Qt::AlignCenter, reg);
    p.restore();
}

void paintTail(QPainter& p) {
    const QPainterPath stab = stabiliserPath();
    fillAndOutline(
        p, stab,
        linear({452, 0}, {503, 0}, {{0, QColor(232, 235, 239)}, {0.25, Qt::white}, {1, QColor(210, 215, 221)}}));
    p.fillPath(stab.subtracted(band(440, Cy - 78, 520, Cy + 78)), QColor(Navy));
    QPainterPath lines({489, Cy - 80});
    lines.lineTo(489, Cy + 80);                 // elevator hinge
    lines.addRect(QRectF(494, Cy + 22, 9, 18)); // trim tab
    panelLines(p, stab, lines);
}

void paintFuselage(QPainter& p) {
    const QPainterPath body = fuselagePath();
    // the fuselage shades the wing and tailplane roots
    p.fillPath(body.translated(2.5, 3.5).intersected(wingPath().united(stabiliserPath())), QColor(0, 0, 0, 38));
    fillAndOutline(p, body,
                   linear({0, Cy - 40}, {0, Cy + 40},
                          {{0, QColor(178, 185, 194)},
                           {0.22, QColor(236, 239, 242)},
                           {0.42, Qt::white},
                           {0.78, QColor(214, 219, 225)},
                           {1, QColor(160, 168, 178)}}));

    QPainterPath chevron({128, Cy - 40}); // cowling flash in the house colours
    chevron.quadTo(166, Cy, 128, Cy + 40);
    chevron.lineTo(140, Cy + 40);
    chevron.quadTo(178, Cy, 140, Cy - 40);
    p.fillPath(body.intersected(chevron), QColor(Navy));
    p.fillPath(body.intersected(chevron.translated(14, 0)), QColor(Red));
    p.fillRect(QRectF(300, Cy - 1.6, 150, 3.2), QColor(Navy)); // spine stripe

    QPainterPath lines;
    for (const qreal x : {118.0, 178.0, 330.0, 395.0}) {
        lines.moveTo(x, Cy - 45);
        lines.quadTo(x - 6, Cy, x, Cy + 45);
    }
    lines.addRect(QRectF(352, Cy + 10, 16, 12)); // baggage hatch
    panelLines(p, body, lines);

    const QPainterPath fin = finPath();
    fillAndOutline(p, fin, QColor(226, 230, 235));
    panelLines(p, fin, band(502, Cy - 5, 502, Cy + 5)); // rudder hinge
}

void paintCabin(QPainter& p) {
    const QPainterPath canopy = canopyPath();
    p.fillPath(canopy, QColor(112, 118, 126));
    p.fillPath(canopy.intersected(band(180, Cy - 40, 204, Cy + 40)), QColor(52, 56, 62));
    p.fillPath(canopy.intersected(band(287, Cy - 40, 307, Cy + 40)), QColor(132, 138, 146));
    p.setPen(QPen(QColor(170, 176, 184), 2, Qt::SolidLine, Qt::RoundCap));
    for (const qreal y : {Cy - 15, Cy + 15}) { // control yokes
        p.drawLine(QPointF(206, y - 6), QPointF(206, y + 6));
        p.drawLine(QPointF(200, y), QPointF(206, y));
    }
    // the program lays its seat icons over exactly these places
    for (const QPointF seat : {QPointF(213, 186), QPointF(213, 216), QPointF(255, 186), QPointF(255, 216)})
        paintSeat(p, QRectF(seat, QSizeF(26, 26)));

    // tinted glazing with reflections on the windscreen and rear window
    p.fillPath(canopy, QColor(140, 185, 225, 40));
    QPainterPath streaks;
    streaks.addPolygon({{{186, Cy + 10}, {214, Cy - 40}, {224, Cy - 40}, {194, Cy + 16}}});
    streaks.addPolygon({{{190, Cy + 24}, {228, Cy - 40}, {232, Cy - 40}, {193, Cy + 27}}});
    streaks.addPolygon({{{284, Cy + 36}, {300, Cy + 10}, {300, Cy + 20}, {290, Cy + 36}}});
    p.fillPath(canopy.intersected(streaks), QColor(255, 255, 255, 70));
    p.setPen(QPen(QColor(58, 64, 72), 1.6));
    p.drawLine(QPointF(247, Cy - 34), QPointF(247, Cy + 34)); // centre bow
    p.setPen(QPen(QColor(Outline), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(canopy);
}

void paintPropeller(QPainter& p) {
    for (const qreal dir : {-1.0, 1.0}) {
        const QPainterPath blade = bladePath(dir);
        fillAndOutline(p, blade, QColor(52, 56, 62));
        p.fillPath(blade.intersected(band(90, Cy + dir * 60, 110, Cy + dir * 70)),
                   QColor(245, 200, 40)); // painted tips
    }
    QRadialGradient g(QPointF(95, Cy - 5), 14);
    g.setStops({{0, Qt::white}, {0.5, QColor(225, 229, 234)}, {1, QColor(150, 158, 168)}});
    fillAndOutline(p, spinnerPath(), g);
}

// Soft drop shadow: the silhouette drawn small and scaled up smoothly.
void paintShadow(QPainter& p, QSize field) {
    constexpr int Shrink = 6;
    QImage small(field / Shrink, QImage::Format_ARGB32_Premultiplied);
    small.fill(Qt::transparent);
    QPainter sp(&small);
    sp.setRenderHint(QPainter::Antialiasing);
    sp.scale(1.0 / Shrink, 1.0 / Shrink);
    sp.fillPath(silhouette(), QColor(0, 0, 0, 80));
    sp.end();
    p.drawImage(QPointF(9, 11), small.scaled(field, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

void paintAircraft(QPainter& p) {
    paintTail(p);
    paintWing(p);
    paintFuselage(p);
    paintCabin(p);
    paintPropeller(p);
}

void paintAircraftSilhouette(QPainter& p, const QColor& colour) {
    p.fillPath(silhouette(), colour);
}

QImage drawTopView() {
    QImage img = blankImage(855, 647, QColor(Silver));
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.scale(1.5, 1.5); // laid out in the 570 x 431 display area
    paintShadow(p, QSize(570, 431));
    paintAircraft(p);
    return img;
}

// Window icon: the aircraft nose up, simplified to stay bold at 24 pixels.
QImage drawWindowIcon(int size) {
    QImage img = blankImage(size, size, Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0); // drawn on a 24 x 24 grid
    QPainterPath plane({12, 1.8});
    plane.cubicTo(14.5, 1.8, 15, 5, 15, 8);
    plane.cubicTo(15, 12, 13.5, 17, 13, 21.5);
    plane.lineTo(11, 21.5);
    plane.cubicTo(10.5, 17, 9, 12, 9, 8);
    plane.cubicTo(9, 5, 9.5, 1.8, 12, 1.8);
    plane.addRoundedRect(QRectF(0.8, 7, 22.4, 5), 2.2, 2.2);    // wing
    plane.addRoundedRect(QRectF(6.3, 18, 11.4, 3.5), 1.6, 1.6); // tailplane
    plane.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(Navy), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(linear({0, 0}, {24, 0}, {{0, Qt::white}, {1, QColor(200, 208, 218)}}));
    p.drawPath(plane.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Navy));
    p.drawRoundedRect(QRectF(10.2, 5.2, 3.6, 6.4), 1.8, 1.8); // canopy
    p.setPen(QPen(QColor(Outline), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 1.4), QPointF(16.5, 1.4)); // propeller
    return img;
}

} // namespace art
