#pragma once

#include <QByteArray>

#include <QByteArrayView>

#include <array>
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

// A place in the aircraft in feet from the reference datum: along the aircraft (forward positive)
// and to the side (right positive).
struct Position {
    double along = 0;
    double across = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// The numbers section() writes besides the loads, read from its own lines: the empty weight in
// pounds and the place of its centre of gravity, and the place of each station (0 pilot, 1
// co-pilot, 2 and 3 left and right passenger, 4 baggage).
std::int64_t emptyWeight();
Position emptyWeightPosition();
Position stationPosition(int station);

// Number of the model variant "Models/<n>.mdl" for the three seat flags, or std::nullopt for the
// combinations without one (a passenger seated while the co-pilot seat is free).
std::optional<int> modelVariant(bool coPilot, bool paxLeft, bool paxRight);
// The same for the seats that have a load.
std::optional<int> modelVariant(const StationLoads& loads);

// The new section: an empty line, the header, an empty line, the three empty-weight lines and the
// five station lines, each ended by CR LF.
QByteArray section(const StationLoads& loads);

// `original` with the loading written into its weight-and-balance section.
//
// The file is taken as lines (ended by CR LF, LF or a lone CR). A section header is a line whose
// text, after leading blanks and tabs, starts with "["; the weight-and-balance header is such a
// line starting with "[WEIGHT_AND_BALANCE]" in any letter case. A mention anywhere else in a line
// is not a header. A UTF-8 byte-order mark at the start of the file is passed over to recognise
// the first line, and kept. A section runs to the next header line or to the end of the file.
//
// The writer owns, in the first weight-and-balance section, the header line, the empty lines
// directly after it, and the lines whose key (the text before "=", blanks and tabs trimmed, any
// letter case) is one of ownedKeys(). In their place, starting at the header line, it writes the
// header, an empty line and the eight lines of section(); every other line of the old section
// follows byte for byte and in its order. In later weight-and-balance sections only the owned key
// lines are removed. Everything else stays byte for byte, so rewriting the result with the same
// loads gives the same bytes.
//
// Without a header, the file's last line is ended if it has no line end, and section() is
// appended.
//
// The lines written end as every line of the file does (see lineEndOf()).
QByteArray rewriteWeightAndBalance(const QByteArray& original, const StationLoads& loads);

// The line end the writer uses in a file: LF when every line of it ends with LF alone, CR when
// every line ends with CR alone; otherwise, and in a file without any line end, CR LF.
QByteArray lineEndOf(QByteArrayView data);

// The keys of the lines the writer owns: the three empty-weight keys and station_load.0 to .4.
const std::array<QByteArrayView, 8>& ownedKeys();

// The station loads as a file holds them, found by the writer's rule: in the first
// weight-and-balance section, the first line of each key station_load.0 to .4 (the key compared
// whole, in any letter case). Each is the line's first value, the text between "=" and the first
// comma (or a "//" comment), blanks and tabs trimmed; std::nullopt for a station without a line.
// Without a section every station is std::nullopt.
using StationValues = std::array<std::optional<QByteArray>, 5>;
StationValues readStationValues(const QByteArray& cfg);

} // namespace wab
