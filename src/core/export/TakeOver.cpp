#include "TakeOver.h"

#include "ExportWriter.h"
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
#include <limits>

namespace takeover {
namespace {

constexpr int kStations = 5;
constexpr int kBaggageStation = 4;
// A value is shown in a message up to this many characters: a line may be as long as a file.
constexpr qsizetype kShownLength = 40;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits with an optional sign and an optional decimal point ("176", "176.4", "-3", ".5").
bool isNumber(QByteArrayView text) {
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+'))
        text = text.sliced(1);
    QByteArrayView whole = text;
    QByteArrayView fraction;
    if (const qsizetype point = text.indexOf('.'); point >= 0) {
        whole = text.first(point);
        fraction = text.sliced(point + 1);
    }
    return whole.size() + fraction.size() > 0 && std::all_of(whole.begin(), whole.end(), isDigit) &&
           std::all_of(fraction.begin(), fraction.end(), isDigit);
}

QString shown(const QString& text) {
    return text.size() <= kShownLength ? text : text.first(kShownLength) + QChar(0x2026);
}

QString shownValue(const QByteArray& value) {
    return shown(codepage::fromWindows1252(value));
}

QString reasonKey(Reason reason) {
    switch (reason) {
    case Reason::NotANumber:
        return QStringLiteral("strTakeOverNotANumber");
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

// The kilograms of a number of pounds as a message shows them.
QString kilogramsText(const QByteArray& value) {
    const double kilograms = std::round(value.toDouble() / kPoundsPerKilogram);
    return shown(QString::number(kilograms == 0 ? 0.0 : kilograms, 'f', 0));
}

QList<MessagePart> refusalMessage(const Refusal& refusal, const QString& title) {
    const QString value = shownValue(refusal.value);
    QStringList details{value};
    if (refusal.reason != Reason::NotANumber)
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
    const std::optional<double> read = poundsOf(value);
    if (!read)
        return {std::nullopt, Reason::NotANumber};
    const double pounds = *read;
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

// The kilograms of one station in a loading (0 for a free seat).
std::int64_t kilogramsOf(const LoadingModel& loading, int station) {
    if (station == kBaggageStation)
        return loading.baggage();
    const Seat seat = kAllSeats[static_cast<std::size_t>(station)];
    return seat == Seat::Pilot || loading.occupied(seat) ? loading.weight(seat) : 0;
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

namespace {

// The stations the next export writes with other pounds, each as the file has it and as it will be.
QList<MessagePart> changesMessage(const Reading& reading, const QString& title) {
    if (reading.changes.isEmpty())
        return {};
    QList<MessagePart> parts{{QStringLiteral("strTakeOverNextExport"), {title}}};
    for (const Reading::Change& change : reading.changes) {
        parts.append({QStringLiteral("strTakeOverPounds%1").arg(change.station),
                      {shownValue(change.value), num::plainDigits(change.pounds),
                       num::plainDigits(kilogramsOf(reading.loading, change.station))}});
    }
    return parts;
}

} // namespace

std::optional<double> poundsOf(QByteArrayView value) {
    if (!isNumber(value))
        return std::nullopt;
    bool ok = false;
    const double pounds = value.toByteArray().toDouble(&ok);
    if (ok)
        return pounds;
    // Beyond what a double holds: hundreds of digits before the point are more than any limit,
    // and as many zeros after it are nothing.
    const bool negative = value.startsWith('-');
    const QByteArrayView whole = value.first(value.contains('.') ? value.indexOf('.') : value.size());
    const bool large = std::any_of(whole.begin(), whole.end(), [](char c) { return c >= '1' && c <= '9'; });
    const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

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
    // What the next export writes for each station, against what the file holds.
    const wab::StationLoads loads = wab::stationLoads(loading);
    const std::optional<std::int64_t> written[kStations] = {loads.pilot, loads.coPilot, loads.paxLeft, loads.paxRight,
                                                            loads.baggage};
    for (int station = 0; station < kStations; ++station) {
        const QByteArray& value = *values[static_cast<std::size_t>(station)];
        const std::int64_t pounds = written[station].value_or(0);
        if (value.toDouble() != static_cast<double>(pounds))
            reading.changes.append({station, value, pounds});
    }
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
    if (exportwriter::isWideText(*content)) {
        return {std::nullopt,
                {{QStringLiteral("strTakeOverRefused"), {title}},
                 {QStringLiteral("strTakeOverWideEncoding"), {QDir::toNativeSeparators(cfgPath)}},
                 unchanged}};
    }
    const Reading reading = interpret(*content);
    switch (reading.kind) {
    case Reading::Kind::Loading:
        return {reading.loading, changesMessage(reading, title)};
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
