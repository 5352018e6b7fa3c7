#include "LoadSheet.h"

#include "TakeOver.h"
#include "core/common/AtomicFile.h"
#include "core/loading/LoadingModel.h"
#include "core/settings/ProgramFiles.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace loadsheet {
namespace {

Station station(bool loaded, std::int64_t kilograms, double pounds, const wab::Position& position) {
    return {loaded, kilograms, pounds, position, {pounds * position.along, pounds * position.across}};
}

// The sheet of the stations' loads in pounds (std::nullopt for a free seat) and kilograms.
Sheet sheetOf(const std::array<std::optional<double>, kStations>& pounds,
              const std::array<std::int64_t, kStations>& kilograms) {
    Sheet sheet;
    sheet.empty =
        station(true, LoadingModel::kEmptyWeight, static_cast<double>(wab::emptyWeight()), wab::emptyWeightPosition());
    sheet.totalKilograms = sheet.empty.kilograms;
    sheet.totalPounds = sheet.empty.pounds;
    sheet.totalMoment = sheet.empty.moment;
    for (int i = 0; i < kStations; ++i) {
        const auto at = static_cast<std::size_t>(i);
        Station& s = sheet.stations[at];
        s = station(pounds[at].has_value(), kilograms[at], pounds[at].value_or(0), wab::stationPosition(i));
        sheet.totalKilograms += s.kilograms;
        sheet.totalPounds += s.pounds;
        sheet.totalMoment.along += s.moment.along;
        sheet.totalMoment.across += s.moment.across;
    }
    if (sheet.totalPounds > 0) {
        const wab::Position cg{sheet.totalMoment.along / sheet.totalPounds,
                               sheet.totalMoment.across / sheet.totalPounds};
        if (std::isfinite(cg.along) && std::isfinite(cg.across))
            sheet.centreOfGravity = cg;
    }
    return sheet;
}

} // namespace

Sheet ofLoading(const LoadingModel& loading) {
    const wab::StationLoads loads = wab::stationLoads(loading);
    auto pounds = [](const std::optional<std::int64_t>& load) -> std::optional<double> {
        // A number of hundreds of digits is no load, even if it is one by its characters.
        if (!load || !std::isfinite(*load))
            return std::nullopt;
        return static_cast<double>(*load);
    };
    auto kilograms = [&loading](Seat seat) -> std::int64_t { return loading.weight(seat); };
    return sheetOf({pounds(loads.pilot), pounds(loads.coPilot), pounds(loads.paxLeft), pounds(loads.paxRight),
                    pounds(loads.baggage)},
                   {kilograms(Seat::Pilot), kilograms(Seat::Co), kilograms(Seat::PaxLeft), kilograms(Seat::PaxRight),
                    loading.baggage()});
}

std::optional<Sheet> ofCopy(const QByteArray& cfg) {
    const wab::StationValues values = wab::readStationValues(cfg);
    std::array<std::optional<double>, kStations> pounds;
    std::array<std::int64_t, kStations> kilograms{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<double> load = values[i] ? takeover::poundsOf(*values[i]) : std::nullopt;
        // A number of hundreds of digits is no load, even if it is one by its characters.
        if (!load || !std::isfinite(*load))
            return std::nullopt;
        // As the take-over reads a seat: 0 pounds is a free seat.
        const bool seat = i != 0 && i + 1 != values.size();
        if (*load != 0 || !seat)
            pounds[i] = *load;
        kilograms[i] = std::llround(std::clamp(*load / takeover::kPoundsPerKilogram, -1e15, 1e15));
    }
    return sheetOf(pounds, kilograms);
}

std::optional<QList<MessagePart>> refusal(const QString& path, const QString& programFolder) {
    if (programfiles::shippedFileAt(programFolder, path).isEmpty())
        return std::nullopt;
    return QList<MessagePart>{{QStringLiteral("strLadelisteShipped"), {QDir::toNativeSeparators(path)}}};
}

std::optional<QList<MessagePart>> save(const QString& path, const QByteArray& pdf, const QString& programFolder) {
    if (auto refused = refusal(path, programFolder))
        return refused;
    QString reason;
    if (atomicfile::replaceWithData(path, pdf, &reason))
        return std::nullopt;
    return QList<MessagePart>{{QStringLiteral("strLadelisteNotSaved"), {QDir::toNativeSeparators(path), reason}}};
}

} // namespace loadsheet
