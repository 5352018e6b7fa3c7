#include "Fonts.h"

#include "core/common/FileRead.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <climits>

void registerFallbackFonts() {
    const QStringList families = QFontDatabase::families();
#ifndef Q_OS_WIN
    // Only on Linux: Windows has these fonts by name (under Wine, from Wine's own font set), and a
    // Unix path there would depend on the current drive.
    const QString wineFonts = QStringLiteral("/usr/share/wine/fonts/");
    auto add = [&](const char* family, std::initializer_list<const char*> files) {
        if (families.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            return;
        // Read as every file of the program is: a pipe there would hold the start up for ever.
        for (const char* file : files) {
            if (const auto data = readWholeFile(wineFonts + QString::fromLatin1(file)))
                QFontDatabase::addApplicationFontFromData(*data);
        }
    };
    // Wine's tahomabd.ttf lacks most letters; bold is drawn from the regular face instead.
    add("Tahoma", {"tahoma.ttf"});
    add("MS Sans Serif", {"ms_sans_serif.ttf"});
#endif
    if (!families.contains(QStringLiteral("Verdana"), Qt::CaseInsensitive))
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("Tahoma"));
}

namespace fonts {
namespace {

// A family the system has as a font that can be drawn at any size: a bitmap font (MS Sans Serif
// on Windows) is drawn by some font engines in a serif face instead.
bool drawable(const QString& family) {
    return !family.isEmpty() && QFontDatabase::hasFamily(family) && QFontDatabase::isSmoothlyScalable(family);
}

// The smallest a caption is made to keep it whole, as a part of its size.
constexpr double kSmallest = 0.7;
constexpr double kStep = 0.25;

// The width a control has for its text, and the height where the text wraps; 0 when it shows no
// text.
struct Room {
    QString text;
    int width = 0;
    int height = INT_MAX;
    bool wraps = false;
};

Room roomOf(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return {};
        const QRect inside =
            label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        return {label->text(), inside.width(), inside.height(), label->wordWrap()};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        if (button->text().isEmpty())
            return {};
        const int margins = 2 * (button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                                 button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        return {button->text(), button->width() - margins, INT_MAX, false};
    }
    return {};
}

bool fits(const QFont& font, const Room& room) {
    const QFontMetrics metrics(font);
    if (!room.wraps)
        return metrics.horizontalAdvance(room.text) <= room.width;
    return metrics.boundingRect(QRect(0, 0, room.width, INT_MAX), Qt::TextWordWrap, room.text).height() <= room.height;
}

} // namespace

namespace {

QString choose(const QString& wanted) {
    if (drawable(wanted))
        return wanted;
    QStringList candidates = QFont::substitutes(wanted);
    if (wanted.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        candidates << QStringLiteral("Microsoft Sans Serif");
    // The system's user-interface font, then the sans-serif faces systems bring.
    candidates << QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() << QStringLiteral("Segoe UI")
               << QStringLiteral("Tahoma") << QStringLiteral("Microsoft Sans Serif") << QStringLiteral("Arial")
               << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans") << QStringLiteral("Noto Sans");
    for (const QString& candidate : candidates) {
        if (drawable(candidate))
            return candidate;
    }
    return wanted;
}

} // namespace

QString family(const QString& wanted) {
    return choose(wanted);
}

void repairPlatformFonts() {
    // The classes the platform gives fonts of their own (QApplicationPrivate's font hash); nullptr
    // is the program's default font.
    const char* const classes[] = {
        nullptr,     "QMenu",       "QMenuBar",       "QMenuItem",      "QMessageBoxLabel", "QLabel",
        "QTipLabel", "QPushButton", "QToolButton",    "QCheckBox",      "QRadioButton",     "QAbstractItemView",
        "QListView", "QHeaderView", "QComboMenuItem", "QComboLineEdit", "QGroupBox",        "QTabButton",
        "QStatusBar"};
    for (const char* className : classes) {
        QFont font = className ? QApplication::font(className) : QApplication::font();
        if (drawable(font.family()))
            continue;
        font.setFamily(family(font.family()));
        font.setStyleHint(QFont::SansSerif);
        if (className)
            QApplication::setFont(font, className);
        else
            QApplication::setFont(font);
    }
}

void keepWhole(QWidget* control, const QString& widest) {
    Room room = roomOf(control);
    if (!widest.isEmpty())
        room.text = widest;
    if (room.text.isEmpty() || room.width <= 0)
        return;
    QFont font = control->font();
    const double designed = font.pointSizeF();
    if (designed <= 0 || fits(font, room))
        return;
    while (!fits(font, room) && font.pointSizeF() - kStep >= designed * kSmallest)
        font.setPointSizeF(font.pointSizeF() - kStep);
    control->setFont(font);
}

void keepCaptionsWhole(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control))
            keepWhole(control, QString());
    }
}

} // namespace fonts
