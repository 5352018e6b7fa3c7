#pragma once

#include "Controls.h"
#include "TestProgramFolder.h"
#include "core/loading/LoadingModel.h"
#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <memory>

// A loaded main window over a temporary program folder, with helpers that act as the user does.
class MainWindowFixture {
public:
    MainWindowFixture() : app(std::make_unique<Application>(folder.context())) {}

    // Loads and shows the main window (strt.cfg holds 0 unless the test wrote something else).
    MainWindow* open() {
        app->showMainWindow();
        return app->mainWindow();
    }
    MainWindow* window() const { return app->mainWindow(); }

    // The control named `name`; the test fails when there is none.
    template <typename T = QWidget> T* control(const char* name) const { return controls::child<T>(window(), name); }
    QString tooltip(const char* name) const { return control<QWidget>(name)->toolTip(); }
    QString textOf(const char* name) const {
        QWidget* widget = control<QWidget>(name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->text();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            return button->text();
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        controls::failMissing(QByteArray(name) + " has no text");
    }
    // Clicks a seat picture with the mouse, answering the input box with `answer` if it comes.
    void clickSeat(const char* name, std::optional<QString> answer = std::nullopt, bool expectInput = true) {
        if (expectInput)
            folder.dialogs().answerInput(std::move(answer));
        QTest::mouseClick(control<QLabel>(name), Qt::LeftButton);
    }
    // True when the seat shows the given legend picture (imgSet or imgReset).
    bool showsPictureOf(const char* seat, const char* legend) const {
        return control<QLabel>(seat)->pixmap().toImage() == control<QLabel>(legend)->pixmap().toImage();
    }

    TestProgramFolder folder;
    std::unique_ptr<Application> app;
};

// The four seat pictures with their seats.
struct SeatImage {
    Seat seat;
    const char* name;
};
inline constexpr SeatImage kSeatImages[] = {
    {Seat::Pilot, "imgPilot"}, {Seat::Co, "imgCo"}, {Seat::PaxLeft, "imgPaxLeft"}, {Seat::PaxRight, "imgPaxRight"}};

// The weight a seat tooltip records, or std::nullopt for a free seat.
inline std::optional<int> recordedWeight(const QString& tooltip) {
    if (!tooltip.endsWith(QLatin1String(" kg")))
        return std::nullopt;
    bool ok = false;
    const int kg = tooltip.chopped(3).toInt(&ok);
    return ok ? std::optional<int>(kg) : std::nullopt;
}

// The window agrees with itself and with the loading, and every figure is within 16 bits: each
// seat's flag, picture and weight record agree, the person sum is the true sum of the seat
// weights, and the total the true 695 + sum + baggage.
inline void checkInvariants(const MainWindowFixture& f, const QString& where = QString()) {
    const LoadingModel& m = f.window()->loading();
    int sum = 0;
    for (const SeatImage& s : kSeatImages) {
        const auto kg = recordedWeight(f.tooltip(s.name));
        QVERIFY2(m.occupied(s.seat) == kg.has_value(), qPrintable(where + ": flag and tooltip of " + s.name));
        QVERIFY2(f.showsPictureOf(s.name, m.occupied(s.seat) ? "imgSet" : "imgReset"),
                 qPrintable(where + ": picture of " + s.name));
        if (kg) {
            QVERIFY2(*kg == m.weight(s.seat), qPrintable(where + ": weight of " + s.name));
            sum += *kg;
        }
    }
    QVERIFY2(m.occupied(Seat::Pilot), qPrintable(where));
    QVERIFY2(sum >= -32768 && sum <= 32767, qPrintable(where + ": sum beyond 16 bits"));
    QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(sum));
    QCOMPARE(int(m.personSum()), sum);
    const int total = LoadingModel::kEmptyWeight + sum + f.textOf("txtBaggage").toInt();
    QVERIFY2(total >= -32768 && total <= 32767, qPrintable(where + ": total beyond 16 bits"));
    QCOMPARE(f.textOf("lblGesamt"), totalCaption(total));
}
