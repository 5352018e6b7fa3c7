#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

class LoadingModel;

// The [WEIGHT_AND_BALANCE] section of an aircraft.cfg as the export writes it, and the choice of
// the model variant that shows the occupied seats.
namespace wab {

inline constexpr auto kHeader = "[WEIGHT_AND_BALANCE]";

// The five station loads in whole pounds. A free co-pilot or passenger seat has no load and is
// written in the zero form; the pilot and the baggage always have one (0 kg of baggage is "0").
struct StationLoads {
    std::int64_t pilot = 0;
    std::optional<std::int64_t> coPilot;
    std::optional<std::int64_t> paxLeft;
    std::optional<std::int64_t> paxRight;
    std::int64_t baggage = 0;

    friend bool operator==(const StationLoads&, const StationLoads&) = default;
};

// The loads of a loading: each weight in kilograms times 2.2046, rounded down.
StationLoads stationLoads(const LoadingModel& loading);

// Number of the model variant "Models/<n>.mdl" for the three seat flags, or std::nullopt for the
// combinations without one (a passenger seated while the co-pilot seat is free).
std::optional<int> modelVariant(bool coPilot, bool paxLeft, bool paxRight);

// The new section: an empty line, the header, an empty line, the three empty-weight lines and the
// five station lines, each ended by CR LF.
QByteArray section(const StationLoads& loads);

// `original` with its weight-and-balance section replaced by section(loads).
//
// The header is the first occurrence of "[WEIGHT_AND_BALANCE]" anywhere in the bytes (exact
// letter case; also inside a line, for example after a comment mark, in which case what stands
// before it on that line stays). The old section runs from there to the start of the next line
// that begins with "[" and is not itself a weight-and-balance header, or to the end of the file;
// everything after it is kept byte for byte. Without a header the section is appended after the
// last byte.
QByteArray rewriteWeightAndBalance(const QByteArray& original, const StationLoads& loads);

} // namespace wab
