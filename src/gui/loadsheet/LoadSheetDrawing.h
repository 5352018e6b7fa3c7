#pragma once

#include "core/export/LoadSheet.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QPageSize>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;
class Texts;

// The load sheet as the user sees it, on the screen and on paper: its texts in the language in
// force and the user's number format, the aircraft from above with the loaded stations and the
// centre of gravity, and the page.
namespace loadsheetdrawing {

// What the sheet says.
struct Content {
    QString title;
    QStringList header;      // the table's column captions
    QList<QStringList> rows; // a row per station, then the empty weight and the total
    QString centreOfGravity;
    QString margin; // up to the maximum take-off weight
    QString fuel;   // what can still be taken on
};
// The total's arms are those of the centre of gravity.
Content content(const loadsheet::Sheet& sheet, const Texts& texts, const QLocale& locale);

// The pictures of the program folder the drawing uses; a missing one is left out.
struct Pictures {
    QPixmap topView; // pa.bmp
    QPixmap taken;   // person.ico
    QPixmap free;    // leer.ico
};
Pictures pictures(const QString& programFolder);

// The aircraft from above, as large as fits `area`: each seat taken and each free as the main window
// shows them, the baggage when there is some, and the centre of gravity as a black and white
// quartered circle.
void paintAircraft(QPainter& painter, const QRectF& area, const Pictures& pictures, const loadsheet::Sheet& sheet);

// What only the page says besides the content: the date and the loading file's name (when there is
// one).
QStringList pageLines(const Texts& texts, const QLocale& locale, const QDate& date, const QString& loadingFile);

// One page: title, the lines of pageLines(), the aircraft, the table and the sentences below it,
// within `area` of the painter's device.
void paintPage(QPainter& painter, const QRectF& area, const Content& content, const QStringList& lines,
               const Pictures& pictures, const loadsheet::Sheet& sheet);

// The paper of the user's country: Letter where the measures are American, A4 elsewhere.
QPageSize::PageSizeId paper(const QLocale& locale);

// The page as a PDF document of one page on `size`.
QByteArray pdf(const Content& content, const QStringList& lines, const Pictures& pictures,
               const loadsheet::Sheet& sheet, QPageSize::PageSizeId size);

} // namespace loadsheetdrawing
