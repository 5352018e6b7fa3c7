// Seat icons and the link cursor: 32 x 32 on a transparent background.
#include "artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {
namespace {

const QColor SeatEdge(24, 34, 48);

// Occupant seen from above, facing left, in 32 x 32 icon units.
void paintPerson(QPainter& p) {
    const QColor shirt(190, 70, 52);
    const QColor skin(236, 188, 148);
    for (const qreal s : {-1.0, 1.0}) { // arms reaching forward, dark rim first
        const QPointF shoulder(19, 16 + s * 8.5), wrist(10.5, 16 + s * 9.5);
        p.setPen(QPen(SeatEdge, 5.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(shoulder, wrist);
        p.setPen(QPen(shirt, 3.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(shoulder, wrist);
        p.setPen(QPen(SeatEdge, 0.8));
        p.setBrush(skin);
        p.drawEllipse(QPointF(7.6, 16 + s * 9.6), 2.3, 2.1); // hand
    }
    QRadialGradient body(QPointF(18, 12), 12);
    body.setStops({{0, shirt.lighter(125)}, {1, shirt.darker(115)}});
    p.setPen(QPen(SeatEdge, 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(15.5, 5.5, 8, 21), 4, 4); // shoulders

    // head: face toward the nose, hair on top and at the back
    QRadialGradient hair(QPointF(16.5, 14.5), 6);
    hair.setStops({{0, QColor(120, 82, 50)}, {1, QColor(70, 44, 26)}});
    p.setBrush(skin);
    p.drawEllipse(QPointF(16.5, 16), 5.6, 5.3);
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    p.drawEllipse(QPointF(17.6, 16), 4.7, 5.0);
    p.setPen(QPen(SeatEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16.5, 16), 5.6, 5.3);
    p.setPen(QPen(SeatEdge, 0.8));
    p.setBrush(skin);
    p.drawEllipse(QPointF(10.7, 16), 1.2, 1.4); // nose
}

QPainterPath handPath() {
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8, 1, 6, 18), 3, 3);       // index finger
    hand.addRoundedRect(QRectF(13, 9, 5, 11), 2.4, 2.4);  // middle
    hand.addRoundedRect(QRectF(17, 10, 5, 10), 2.4, 2.4); // ring
    hand.addRoundedRect(QRectF(21, 11, 5, 9), 2.4, 2.4);  // little
    QPainterPath palm({8, 15});                           // palm with the thumb on the left
    palm.lineTo(26, 15);
    palm.lineTo(26, 22);
    palm.cubicTo(26, 26, 23, 29, 22, 30);
    palm.lineTo(12, 30);
    palm.cubicTo(10, 28, 6, 24, 3.5, 19.5);
    palm.cubicTo(2, 17, 4, 14.5, 6, 15.5);
    palm.lineTo(8, 18);
    hand.setFillRule(Qt::WindingFill);
    return hand.united(palm).simplified().translated(0.5, 0.5);
}

} // namespace

void paintSeat(QPainter& p, const QRectF& r) {
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / 32.0, r.height() / 32.0);
    p.setPen(QPen(SeatEdge, 1));
    p.setBrush(
        linear({0, 5}, {0, 27}, {{0, QColor(104, 136, 178)}, {0.5, QColor(122, 154, 196)}, {1, QColor(82, 112, 152)}}));
    p.drawRoundedRect(QRectF(3.5, 5.5, 19, 21), 4, 4); // cushion
    p.setPen(QPen(QColor(50, 72, 104), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6.5, 9.5, 12, 13), 2.5, 2.5); // seam
    p.setPen(QPen(SeatEdge, 1));
    p.setBrush(linear({20, 0}, {29, 0}, {{0, QColor(70, 98, 138)}, {1, QColor(44, 66, 98)}}));
    p.drawRoundedRect(QRectF(20.5, 3.5, 8, 25), 3, 3); // backrest
    p.setPen(QPen(QColor(120, 150, 190), 0.8));
    p.drawLine(QPointF(22.5, 7), QPointF(22.5, 25)); // piping
    p.restore();
}

QImage drawEmptySeatIcon() {
    QImage img = blankImage(32, 32, Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintSeat(p, QRectF(0, 0, 32, 32));
    return img;
}

QImage drawPersonIcon() {
    QImage img = drawEmptySeatIcon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintPerson(p);
    return img;
}

// Pointing hand; the hotspot is the fingertip at pixel (11, 1).
QImage drawPointerIcon() {
    QImage img = blankImage(32, 32, Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawPath(handPath());
    for (const QPointF top : {QPointF(14.5, 12), QPointF(18.5, 13), QPointF(22.5, 14)})
        p.drawLine(top, top + QPointF(0, 4)); // gaps between the fingers
    return img;
}

} // namespace art
