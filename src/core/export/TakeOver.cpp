#include "TakeOver.h"

#include "WeightAndBalance.h"
#include "core/common/CodePage.h"
#include "core/common/CopyLock.h"
#include "core/common/FileRead.h"
#include "core/common/Numbers.h"
#include "core/common/Paths.h"
#include "core/loading/SeatOperations.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace takeover {
namespace {

constexpr int kStations = 5;
constexpr int kBaggageStation = 4;
// A value is shown in a message up to this many characters: a line may be as long as a file.
constexpr qsizetype kShownLength = 40;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits with an optional sign; a decimal point followed only by zeros ("170.0", as other tools
// write loads) still makes a whole number.
bool isWholeNumber(QByteArrayView text) {
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+'))
        text = text.sliced(1);
    if (const qsizetype point = text.indexOf('.'); point >= 0) {
        for (char c : text.sliced(point + 1)) {
            if (c != '0')
                return false;
        }
        text = text.first(point);
    }
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit);
}

QString shown(const QString& text) {
    return text.size() <= kShownLength ? text : text.first(kShownLength) + QChar(0x2026);
}

QString shownValue(const QByteArray& value) {
    return shown(codepage::fromWindows1252(value));
}

QString reasonKey(Reason reason) {
    switch (reason) {
    case Reason::NotWhole:
        return QStringLiteral("strTakeOverNotWhole");
    case Reason::BeyondLimit:
        return QStringLiteral("strTakeOverBeyondLimit");
    case Reason::PilotUnder:
        return QStringLiteral("strTakeOverPilotUnder");
    case Reason::NoWeight:
        return QStringLiteral("strTakeOverNoWeight");
    case Reason::BaggageRange:
        return QStringLiteral("strTakeOverBaggageRange");
    case Reason::SumRange:
        break;
    }
    return QStringLiteral("strTakeOverSumRange");
}

// The kilograms of a whole number of pounds as a message shows them.
QString kilogramsText(const QByteArray& value) {
    const double kilograms = std::round(value.toDouble() / kPoundsPerKilogram);
    return shown(QString::number(kilograms == 0 ? 0.0 : kilograms, 'f', 0));
}

QList<MessagePart> refusalMessage(const Refusal& refusal, const QString& title) {
    const QString value = shownValue(refusal.value);
    QStringList details{value};
    if (refusal.reason != Reason::NotWhole)
        details << kilogramsText(refusal.value);
    switch (refusal.reason) {
    case Reason::BeyondLimit:
        details << QString::number(SeatOperations::kLargestEntry);
        break;
    case Reason::PilotUnder:
        details << QString::number(SeatOperations::kPilotMinimum);
        break;
    case Reason::BaggageRange:
        details << QString::number(LoadingModel::kBaggageMaximum);
        break;
    default:
        break;
    }
    return {{QStringLiteral("strTakeOverRefused"), {title}},
            {QStringLiteral("strTakeOverStation%1").arg(refusal.station), {}},
            {reasonKey(refusal.reason), details},
            {QStringLiteral("strTakeOverUnchanged"), {}}};
}

// One station's load in kilograms, std::nullopt for a free seat (0 pounds on a seat that can be
// freed); a refusal when the window would not take it.
struct Load {
    std::optional<std::int16_t> kilograms;
    std::optional<Reason> refused;
};

Load loadOf(int station, const QByteArray& value) {
    if (!isWholeNumber(value))
        return {std::nullopt, Reason::NotWhole};
    const double pounds = value.toDouble();
    const bool seat = station != 0 && station != kBaggageStation;
    if (pounds == 0 && seat)
        return {};
    const auto kilograms = num::toWhole(pounds / kPoundsPerKilogram);
    if (station == kBaggageStation) {
        if (!kilograms || *kilograms < 0 || *kilograms > LoadingModel::kBaggageMaximum)
            return {std::nullopt, Reason::BaggageRange};
        return {kilograms, std::nullopt};
    }
    if (!kilograms || *kilograms > SeatOperations::kLargestEntry || *kilograms < -SeatOperations::kLargestEntry)
        return {std::nullopt, Reason::BeyondLimit};
    if (station == 0 && *kilograms < SeatOperations::kPilotMinimum)
        return {std::nullopt, Reason::PilotUnder};
    if (*kilograms == 0)
        return {std::nullopt, Reason::NoWeight};
    return {kilograms, std::nullopt};
}

// Puts one station's load into the loading through the loading's own operations, which refuse
// what would leave 16 bits.
bool apply(LoadingModel& loading, int station, std::int16_t kilograms) {
    switch (station) {
    case 0:
        return loading.setPilotWeight(kilograms);
    case kBaggageStation:
        return loading.setBaggage(kilograms);
    default:
        return loading.seat(kAllSeats[static_cast<std::size_t>(station)], kilograms);
    }
}

} // namespace

Reading interpret(const QByteArray& cfg) {
    const wab::StationValues values = wab::readStationValues(cfg);
    Reading reading;
    for (const auto& value : values) {
        if (!value)
            return reading;
    }
    LoadingModel loading;
    for (int station = 0; station < kStations; ++station) {
        const QByteArray& value = *values[static_cast<std::size_t>(station)];
        const Load load = loadOf(station, value);
        std::optional<Reason> refused = load.refused;
        if (!refused && load.kilograms && !apply(loading, station, *load.kilograms))
            refused = Reason::SumRange;
        if (refused) {
            reading.kind = Reading::Kind::Refused;
            reading.refusal = {*refused, station, value};
            return reading;
        }
    }
    reading.kind = Reading::Kind::Loading;
    reading.loading = loading;
    return reading;
}

QString summary(const LoadingModel& loading) {
    QStringList persons;
    for (Seat seat : kAllSeats)
        persons << (loading.occupied(seat) ? num::plainDigits(loading.weight(seat)) : QString(QChar(0x2013)));
    return persons.join(QStringLiteral(" / ")) + QStringLiteral(" kg, ") + num::plainDigits(loading.baggage()) +
           QStringLiteral(" kg");
}

Result takeOver(const QString& cfgPath, const QString& title) {
    const MessagePart unchanged{QStringLiteral("strTakeOverUnchanged"), {}};
    // Read while no other program changes the copy.
    const QString copyFolder = GetPathName(cfgPath);
    const copylock::Lock lock(copyFolder, copylock::Lock::Mode::Shared);
    if (lock.busy()) {
        return {std::nullopt,
                {{QStringLiteral("strTakeOverRefused"), {title}},
                 {QStringLiteral("strExportBusy"), {QDir::toNativeSeparators(copyFolder)}},
                 unchanged}};
    }
    QString reason;
    const auto content = readWholeFile(cfgPath, &reason);
    if (!content) {
        return {std::nullopt,
                {{QStringLiteral("strTakeOverRefused"), {title}},
                 {QStringLiteral("strExportReadFailed"), {QDir::toNativeSeparators(cfgPath), reason}},
                 unchanged}};
    }
    const Reading reading = interpret(*content);
    switch (reading.kind) {
    case Reading::Kind::Loading:
        return {reading.loading, {}};
    case Reading::Kind::NoLoading:
        return {std::nullopt, {{QStringLiteral("strTakeOverNoLoading"), {title}}, unchanged}};
    case Reading::Kind::Refused:
        break;
    }
    return {std::nullopt, refusalMessage(reading.refusal, title)};
}

QStringList summaries(const QStringList& cfgPaths, const QString& noLoading) {
    QStringList shownLoadings;
    for (const QString& path : cfgPaths) {
        const auto content = readWholeFile(path);
        const Reading reading = content ? interpret(*content) : Reading{};
        shownLoadings << (reading.kind == Reading::Kind::Loading ? summary(reading.loading) : noLoading);
    }
    return shownLoadings;
}

} // namespace takeover
