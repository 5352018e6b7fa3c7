#include "LoadSheetDrawing.h"

#include "core/common/FileRead.h"
#include "core/export/PreExportCheck.h"
#include "core/settings/Texts.h"
#include "gui/app/WindowLayout.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>

namespace loadsheetdrawing {
namespace {

// The names of the stations: the seats as a screen reader names them, and the baggage.
constexpr const char* kStationKeys[loadsheet::kStations] = {"imgPilot", "imgCo", "imgPaxLeft", "imgPaxRight",
                                                            "lblGepäck"};
constexpr int kBaggage = 4;

// A number with `decimals` places; a value that rounds to zero is 0, never -0.
QString fixed(const QLocale& locale, double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0;
    return locale.toString(rounded, 'f', decimals);
}

QStringList row(const QString& name, const QString& kilograms, const loadsheet::Station& station,
                const wab::Position& arm, int armDecimals, const QLocale& locale) {
    return {name,
            kilograms,
            fixed(locale, station.pounds, 0),
            fixed(locale, arm.along, armDecimals),
            fixed(locale, arm.across, armDecimals),
            fixed(locale, station.moment.along, 1),
            fixed(locale, station.moment.across, 1)};
}

// The top view is laid out in an area of 570 x 431 (pa.bmp is drawn at 1.5 times that size), the
// seats drawn in it 26 x 26 with their top left corners at x 213 (front) and 255 (rear), y 186
// (right) and 216 (left), as tools/artwork draws them and the main window lays its seats over them.
constexpr QSizeF kDesign(570, 431);
constexpr double kSeat = 26;
constexpr double kFrontX = 213 + kSeat / 2;
constexpr double kRearX = 255 + kSeat / 2;
constexpr double kRightY = 186 + kSeat / 2;
constexpr double kLeftY = 216 + kSeat / 2;

// Where a position lies in the design area: the pilot's seat (front, left) and the right passenger's
// (rear, right) are where the picture shows them, and every other position in proportion.
QPointF placeOf(const wab::Position& position) {
    const wab::Position pilot = wab::stationPosition(0);
    const wab::Position rear = wab::stationPosition(3);
    const double x = kFrontX + (position.along - pilot.along) * (kRearX - kFrontX) / (rear.along - pilot.along);
    const double y = kLeftY + (position.across - pilot.across) * (kRightY - kLeftY) / (rear.across - pilot.across);
    return {x, y};
}

void paintBaggage(QPainter& painter, const QPointF& at) {
    const QRectF box(at.x() - 10, at.y() - 6, 20, 14);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.setBrush(QColor(29, 63, 114));
    painter.drawRoundedRect(box, 2.5, 2.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(29, 63, 114), 2));
    painter.drawRoundedRect(QRectF(at.x() - 4, at.y() - 10, 8, 5), 1.5, 1.5);
}

// The usual mark of a centre of gravity: a circle in quarters, black top left and bottom right.
void paintCentreOfGravity(QPainter& painter, const QPointF& at, double radius) {
    const QRectF circle(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(circle);
    painter.setBrush(Qt::black);
    // Angles in sixteenths of a degree, counter-clockwise from three o'clock.
    painter.drawPie(circle, 90 * 16, 90 * 16);
    painter.drawPie(circle, 270 * 16, 90 * 16);
    painter.setPen(QPen(Qt::black, radius / 6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
}

QPixmap pictureAt(const QString& path) {
    QPixmap pixmap;
    // Read as a regular file only: a pipe in a picture's place would never end.
    if (const auto bytes = readWholeFile(path))
        pixmap.loadFromData(*bytes);
    return pixmap;
}

QFont pageFont(double points, bool bold = false) {
    QFont font = layout::font(QStringLiteral("Tahoma"), points, bold);
    // Letters kept apart (Qt joins none when they are spaced at all): "fl" as a ligature would be
    // one character in the PDF's text, and a search for a name with "fl" in it would not find it.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    return font;
}

} // namespace

Content content(const loadsheet::Sheet& sheet, const Texts& texts, const QLocale& locale) {
    auto text = [&texts](const char* key) { return texts.messageText(QString::fromUtf8(key)); };
    Content c;
    c.title = text("frmLadelisteCaption");
    c.header =
        QStringList{text("strLadelisteStation"),     text("strLadelisteKg"),        text("strLadelisteLb"),
                    text("strLadelisteArmAlong"),    text("strLadelisteArmAcross"), text("strLadelisteMomentAlong"),
                    text("strLadelisteMomentAcross")};
    for (int i = 0; i < loadsheet::kStations; ++i) {
        const loadsheet::Station& station = sheet.stations[static_cast<std::size_t>(i)];
        const QString kilograms = station.loaded ? locale.toString(qlonglong(station.kilograms)) : text("lblPlatzFrei");
        c.rows << row(text(kStationKeys[i]), kilograms, station, station.position, 1, locale);
    }
    c.rows << row(text("strLadelisteLeergewicht"), locale.toString(qlonglong(sheet.empty.kilograms)), sheet.empty,
                  sheet.empty.position, 1, locale);
    loadsheet::Station all;
    all.pounds = sheet.totalPounds;
    all.moment = sheet.totalMoment;
    QStringList totalRow = row(text("strLadelisteGesamt"), locale.toString(qlonglong(sheet.totalKilograms)), all,
                               sheet.centreOfGravity.value_or(wab::Position{}), 2, locale);
    if (sheet.centreOfGravity) {
        c.centreOfGravity = texts.message(QStringLiteral("strLadelisteSchwerpunkt"), {totalRow[3], totalRow[4]});
    } else {
        totalRow[3] = totalRow[4] = QString();
        c.centreOfGravity = text("strLadelisteKeinSchwerpunkt");
    }
    c.rows << totalRow;

    const preexport::Margin margin = preexport::margin(int(sheet.totalKilograms));
    c.margin = texts.message(QStringLiteral("strLadelisteMTOW"),
                             {locale.toString(preexport::kMtow), locale.toString(margin.kilograms)});
    c.fuel = margin.kilograms > 0
                 ? texts.message(QStringLiteral("strLadelisteTreibstoff"),
                                 {locale.toString(margin.kilograms), locale.toString(qlonglong(margin.pounds))})
                 : text("strLadelisteKeinTreibstoff");
    return c;
}

Pictures pictures(const QString& programFolder) {
    return {pictureAt(programFolder + QStringLiteral("pa.bmp")),
            pictureAt(programFolder + QStringLiteral("person.ico")),
            pictureAt(programFolder + QStringLiteral("leer.ico"))};
}

void paintAircraft(QPainter& painter, const QRectF& area, const Pictures& pictures, const loadsheet::Sheet& sheet) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(area);
    const QTransform outer = painter.worldTransform();
    const double scale = std::min(area.width() / kDesign.width(), area.height() / kDesign.height());
    const QPointF origin = area.center() - QPointF(kDesign.width(), kDesign.height()) * scale / 2;
    painter.translate(origin);
    painter.scale(scale, scale);
    const QRectF design(QPointF(0, 0), kDesign);
    painter.fillRect(design, QColor(192, 192, 192));
    if (!pictures.topView.isNull())
        painter.drawPixmap(design, pictures.topView, QRectF(pictures.topView.rect()));
    for (int i = 0; i < loadsheet::kStations; ++i) {
        const loadsheet::Station& station = sheet.stations[static_cast<std::size_t>(i)];
        const QPointF at = placeOf(station.position);
        if (i == kBaggage) {
            if (station.kilograms != 0)
                paintBaggage(painter, at);
            continue;
        }
        const QPixmap& seat = station.loaded ? pictures.taken : pictures.free;
        const QRectF place(at.x() - kSeat / 2, at.y() - kSeat / 2, kSeat, kSeat);
        if (!seat.isNull()) {
            painter.drawPixmap(place, seat, QRectF(seat.rect()));
        } else if (station.loaded) {
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setBrush(QColor(29, 63, 114));
            painter.drawEllipse(place.adjusted(5, 5, -5, -5));
        }
    }
    // The mark keeps its size, however small the aircraft is drawn: a thirtieth of the area's height.
    if (sheet.centreOfGravity) {
        painter.setWorldTransform(outer);
        paintCentreOfGravity(painter, origin + placeOf(*sheet.centreOfGravity) * scale,
                             std::max(area.height() / 30, 6.0 * scale));
    }
    painter.restore();
}

QStringList pageLines(const Texts& texts, const QLocale& locale, const QDate& date, const QString& loadingFile) {
    QStringList lines{
        texts.message(QStringLiteral("strLadelisteDatum"), {locale.toString(date, QLocale::ShortFormat)})};
    if (!loadingFile.isEmpty())
        lines << texts.message(QStringLiteral("strLadelisteBeladung"), {QFileInfo(loadingFile).fileName()});
    return lines;
}

void paintPage(QPainter& painter, const QRectF& area, const Content& content, const QStringList& lines,
               const Pictures& pictures, const loadsheet::Sheet& sheet) {
    painter.save();
    const double mm = painter.device()->logicalDpiY() / 25.4;
    double y = area.top();
    auto write = [&](const QString& text, const QFont& font, double gapAfter) {
        painter.setFont(font);
        const QRectF room(area.left(), y, area.width(), area.bottom() - y);
        QRectF used;
        painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text, &used);
        y = used.bottom() + gapAfter;
    };
    painter.setPen(Qt::black);
    write(content.title + QStringLiteral(" \u2013 TQ 58"), pageFont(16, true), 3 * mm);
    for (const QString& line : lines)
        write(line, pageFont(10), 1 * mm);
    y += 3 * mm;

    // The aircraft as wide as the page, but no more than two fifths of its height.
    const double pictureHeight = std::min(area.width() * kDesign.height() / kDesign.width(), area.height() * 0.4);
    paintAircraft(painter, QRectF(area.left(), y, area.width(), pictureHeight), pictures, sheet);
    y += pictureHeight + 6 * mm;

    // The table: the first column for the names, the others alike, numbers to the right.
    const QFont cell = pageFont(9);
    const QFont bold = pageFont(9, true);
    painter.setFont(cell);
    const double rowHeight = painter.fontMetrics().height() * 1.7;
    const double nameWidth = area.width() * 0.22;
    const double numberWidth = (area.width() - nameWidth) / double(content.header.size() - 1);
    auto columnRect = [&](int column, double top, double height) {
        const double left = column == 0 ? area.left() : area.left() + nameWidth + (column - 1) * numberWidth;
        return QRectF(left, top, column == 0 ? nameWidth : numberWidth, height);
    };
    auto rule = [&](double at, double width) {
        painter.setPen(QPen(Qt::black, width * mm / 4));
        painter.drawLine(QPointF(area.left(), at), QPointF(area.right(), at));
    };
    const double headerHeight = rowHeight * 2;
    painter.setFont(bold);
    painter.setPen(Qt::black);
    for (int column = 0; column < content.header.size(); ++column) {
        const QRectF r = columnRect(column, y, headerHeight).adjusted(1 * mm, 0, -1 * mm, 0);
        painter.drawText(r, (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignBottom | Qt::TextWordWrap,
                         content.header[column]);
    }
    y += headerHeight + 1 * mm;
    rule(y, 1.5);
    for (int r = 0; r < content.rows.size(); ++r) {
        const bool totalRow = r == content.rows.size() - 1;
        if (r == loadsheet::kStations || totalRow)
            rule(y, totalRow ? 1.5 : 0.7);
        painter.setFont(totalRow ? bold : cell);
        painter.setPen(Qt::black);
        const QStringList& cells = content.rows[r];
        for (int column = 0; column < cells.size(); ++column) {
            const QRectF rect = columnRect(column, y, rowHeight).adjusted(1 * mm, 0, -1 * mm, 0);
            painter.drawText(rect, (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, cells[column]);
        }
        y += rowHeight;
    }
    rule(y, 1.5);
    y += 5 * mm;
    write(content.centreOfGravity, pageFont(10, true), 2 * mm);
    write(content.margin, pageFont(10), 1 * mm);
    write(content.fuel, pageFont(10), 1 * mm);
    painter.restore();
}

QPageSize::PageSizeId paper(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QByteArray pdf(const Content& content, const QStringList& lines, const Pictures& pictures,
               const loadsheet::Sheet& sheet, QPageSize::PageSizeId size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(content.title + QStringLiteral(" \u2013 TQ 58"));
        writer.setCreator(QStringLiteral("Merovan"));
        writer.setResolution(300);
        writer.setPageLayout(
            QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QPainter painter(&writer);
        const QRect paintable = writer.pageLayout().paintRectPixels(writer.resolution());
        paintPage(painter, QRectF(QPointF(0, 0), QSizeF(paintable.size())), content, lines, pictures, sheet);
    }
    return bytes;
}

} // namespace loadsheetdrawing
