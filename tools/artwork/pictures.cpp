// Start-up window background, maker's logo and the about picture, plus the
// small helpers the drawings share.
#include "artwork.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {
namespace {

void paintCloud(QPainter& p, QPointF at, qreal size, int alpha) {
    p.setPen(Qt::NoPen);
    for (const QPointF puff : {QPointF(0, 0), QPointF(0.9, -0.35), QPointF(1.8, 0), QPointF(0.9, 0.2)}) {
        QRadialGradient g(at + puff * size, size);
        g.setStops({{0, QColor(255, 255, 255, alpha)}, {1, QColor(255, 255, 255, 0)}});
        p.setBrush(g);
        p.drawEllipse(at + puff * size, size, size * 0.75);
    }
}

// Places the aircraft so that it is `length` pixels long around `centre`,
// turned by `angle` degrees from its nose-left layout.
void placeAircraft(QPainter& p, QPointF centre, qreal angle, qreal length) {
    p.translate(centre);
    p.rotate(angle);
    p.scale(length / 435, length / 435);
    p.translate(-304, -214);
}

// Text with a one-pixel highlight below and to the right.
void embossedText(QPainter& p, const QRectF& box, int flags, const QString& text, const QColor& colour,
                  const QColor& highlight) {
    p.setPen(highlight);
    p.drawText(box.translated(1, 1), flags, text);
    p.setPen(colour);
    p.drawText(box, flags, text);
}

} // namespace

QLinearGradient linear(QPointF from, QPointF to, const QGradientStops& stops) {
    QLinearGradient g(from, to);
    g.setStops(stops);
    return g;
}

QImage blankImage(int width, int height, const QColor& fill) {
    QImage img(width, height, fill.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

QFont uiFont(int pixelSize, bool bold) {
    // Wine's Tahoma Bold lacks most glyphs, so bold text prefers DejaVu.
    const QString tahoma = QStringLiteral("Tahoma"), dejaVu = QStringLiteral("DejaVu Sans");
    QFont f;
    f.setFamilies(bold ? QStringList{dejaVu, tahoma} : QStringList{tahoma, dejaVu});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont fittedFont(QFont font, const QString& text, qreal maxWidth) {
    while (font.pixelSize() > 6 && QFontMetricsF(font).horizontalAdvance(text) > maxWidth)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

// The top of the splash window, drawn at its own size from the top-left corner: sky, clouds and an
// aircraft with its contrail, fading into the window's white, where the program writes its title
// and, at the bottom, the version and the maker. As wide as the window at 96 dpi.
QImage drawSplash() {
    constexpr qreal width = 412;
    QImage img = blankImage(int(width), 127, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, width, 52), linear({0, 0}, {0, 52}, {{0, QColor(196, 221, 245)}, {1, Qt::white}}));
    paintCloud(p, QPointF(40, 14), 9, 150);
    paintCloud(p, QPointF(170, 10), 7, 120);

    // a small aircraft crossing the top right, trailing a contrail to the window's edge
    QPainterPath trail({298, 19});
    trail.cubicTo(340, 17, 380, 24, width, 21);
    p.strokePath(trail,
                 QPen(linear({290, 0}, {width, 0}, {{0, QColor(255, 255, 255, 230)}, {1, QColor(255, 255, 255, 0)}}), 4,
                      Qt::SolidLine, Qt::RoundCap));
    placeAircraft(p, QPointF(284, 19), -4, 30);
    paintAircraftSilhouette(p, QColor(92, 122, 160, 120));
    p.resetTransform();
    return img;
}

QImage drawLogo() {
    QImage img = blankImage(162, 65, QColor(Silver));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // the mark: a swept navy wing over a red stroke, meeting in a V
    QPainterPath wing({3, 12});
    wing.cubicTo(18, 14, 28, 26, 32, 50);
    wing.cubicTo(34, 34, 38, 22, 46, 14);
    wing.cubicTo(38, 18, 34, 26, 32, 34);
    wing.cubicTo(27, 22, 18, 16, 3, 12);
    QPainterPath stroke({12, 26});
    stroke.cubicTo(20, 29, 26, 38, 29, 50);
    stroke.cubicTo(23, 40, 18, 33, 12, 26);
    p.fillPath(wing.translated(0.8, 0.8), Qt::white);
    p.fillPath(wing, QColor(Navy));
    p.fillPath(stroke, QColor(Red));

    const QString name = QStringLiteral("VELMORA"), tag = QStringLiteral("Flight Simulation");
    p.setFont(fittedFont(uiFont(23, true), name, 110));
    embossedText(p, QRectF(48, 10, 110, 30), Qt::AlignLeft | Qt::AlignBottom, name, QColor(Navy), Qt::white);
    p.fillRect(QRectF(49, 42, 108, 1), QColor(Red));
    p.setFont(fittedFont(uiFont(11, false), tag, 108));
    p.setPen(QColor(48, 52, 58));
    p.drawText(QRectF(49, 44, 110, 16), Qt::AlignLeft | Qt::AlignTop, tag);
    return img;
}

QImage drawInfoPicture() {
    QImage img = blankImage(113, 185, Qt::white);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.fillRect(
        img.rect(),
        linear({0, 0}, {0, 185}, {{0, QColor(40, 98, 176)}, {0.7, QColor(140, 188, 232)}, {1, QColor(214, 232, 248)}}));
    paintCloud(p, QPointF(10, 178), 12, 200);
    paintCloud(p, QPointF(74, 124), 8, 150);
    paintCloud(p, QPointF(-6, 30), 7, 110);

    placeAircraft(p, QPointF(60, 74), 90, 108);
    paintAircraftSilhouette(p, QColor(10, 30, 70, 60)); // shadow on the cloud deck
    p.resetTransform();
    placeAircraft(p, QPointF(56, 68), 90, 108);
    paintAircraft(p);
    p.resetTransform();

    const QString title = QStringLiteral("TQ 58");
    p.setFont(fittedFont(uiFont(26, true), title, 100));
    embossedText(p, QRectF(0, 140, 113, 34), Qt::AlignCenter, title, QColor(Navy), QColor(255, 255, 255, 200));
    return img;
}

} // namespace art
