#include "WeightAndBalance.h"

#include "common/Numbers.h"
#include "loading/LoadingModel.h"

#include <array>

namespace wab {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The fixed lines after the header. The empty weight is the aircraft's 695 kg in pounds.
constexpr std::array<const char*, 3> kEmptyWeightLines{
    "empty_weight = 1532             // (pounds) kg=>lbs x 2,2046",
    "reference_datum_position     =   0.0,   0, 0",
    "empty_weight_CG_position     =   0.0,   0, 0",
};

// Per station: the text after the load (position in feet from the datum, and a comment).
constexpr std::array<const char*, 5> kStationSuffixes{
    ",  0.4, -1.7, 0.0       //Pilot Mirk   Weight (lbs)",     ", 0.4, 1.7, 0.0       //Co-Pilot     Weight (lbs)",
    ", -3.0, -1.7, 0.0       //Passenger    Weight (lbs)",     ", -3.0, 1.7, 0.0       //Passenger    Weight (lbs)",
    ", -6.5,  0.0, 0.0           //Baggage      Weight (lbs)",
};

QByteArray stationLine(int station, const std::optional<std::int64_t>& load) {
    QByteArray line = QByteArrayLiteral("station_load.") + QByteArray::number(station) + QByteArrayLiteral(" =   ");
    // A free seat: a blank, the digit 0 and a blank.
    line += load ? num::plainDigits(*load).toLatin1() : QByteArrayLiteral(" 0 ");
    line += kStationSuffixes[static_cast<std::size_t>(station)];
    return line;
}

bool startsAt(const QByteArray& data, qsizetype pos, const QByteArray& what) {
    return QByteArrayView(data).sliced(pos).startsWith(what);
}

// Where the section whose header ends at `from` ends: the start of the next line that begins with
// "[" other than another weight-and-balance header, or the end of the data.
qsizetype sectionEnd(const QByteArray& data, qsizetype from) {
    const QByteArray header(kHeader);
    for (qsizetype i = data.indexOf('[', from); i >= 0; i = data.indexOf('[', i + 1)) {
        const char before = data[i - 1];
        if ((before == '\n' || before == '\r') && !startsAt(data, i, header))
            return i;
    }
    return data.size();
}

} // namespace

StationLoads stationLoads(const LoadingModel& loading) {
    auto loadOf = [&](Seat seat) -> std::optional<std::int64_t> {
        if (!loading.occupied(seat))
            return std::nullopt;
        return num::kgToPounds(loading.weight(seat));
    };
    StationLoads loads;
    loads.pilot = num::kgToPounds(loading.weight(Seat::Pilot));
    loads.coPilot = loadOf(Seat::Co);
    loads.paxLeft = loadOf(Seat::PaxLeft);
    loads.paxRight = loadOf(Seat::PaxRight);
    loads.baggage = num::kgToPounds(loading.baggage());
    return loads;
}

std::optional<int> modelVariant(bool coPilot, bool paxLeft, bool paxRight) {
    if (!coPilot)
        return (paxLeft || paxRight) ? std::nullopt : std::optional<int>(1);
    if (paxLeft && paxRight)
        return 5;
    if (paxLeft)
        return 3;
    if (paxRight)
        return 4;
    return 2;
}

QByteArray section(const StationLoads& loads) {
    QByteArray out;
    out += kLineEnd;
    out += kHeader + kLineEnd;
    out += kLineEnd;
    for (const char* line : kEmptyWeightLines)
        out += line + kLineEnd;
    out += stationLine(0, loads.pilot) + kLineEnd;
    out += stationLine(1, loads.coPilot) + kLineEnd;
    out += stationLine(2, loads.paxLeft) + kLineEnd;
    out += stationLine(3, loads.paxRight) + kLineEnd;
    out += stationLine(4, loads.baggage) + kLineEnd;
    return out;
}

QByteArray rewriteWeightAndBalance(const QByteArray& original, const StationLoads& loads) {
    const QByteArray header(kHeader);
    const QByteArray replacement = section(loads);
    const qsizetype start = original.indexOf(header);
    const QByteArrayView whole(original);
    const QByteArrayView before = start < 0 ? whole : whole.first(start);
    const QByteArrayView after =
        start < 0 ? QByteArrayView() : whole.sliced(sectionEnd(original, start + header.size()));
    // Put together in one buffer of the final size: however large the file, the new content costs
    // one allocation and one copy of the old bytes, never intermediate copies.
    QByteArray out;
    out.reserve(before.size() + replacement.size() + after.size());
    out.append(before).append(replacement).append(after);
    return out;
}

} // namespace wab
