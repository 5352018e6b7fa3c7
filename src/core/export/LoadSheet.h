#pragma once

#include "WeightAndBalance.h"
#include "core/common/MessagePart.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class LoadingModel;

// The load sheet: where the weight sits. Made from the numbers the export writes into
// [WEIGHT_AND_BALANCE] (wab): each station's load in pounds and its place, and the empty weight
// with its centre of gravity. A station's moment is its load times its place, and the centre of
// gravity is the sum of the moments over the total weight.
namespace loadsheet {

inline constexpr int kStations = 5; // pilot, co-pilot, left and right passenger, baggage

struct Station {
    // A seat taken; the pilot and the baggage always have a load.
    bool loaded = false;
    // As the loading has them: 0 for a free seat.
    std::int64_t kilograms = 0;
    // As the export writes them: 0 for a free seat.
    double pounds = 0;
    wab::Position position;
    // In pound-feet.
    wab::Position moment;
};

struct Sheet {
    std::array<Station, kStations> stations;
    Station empty; // the aircraft without its load
    std::int64_t totalKilograms = 0;
    double totalPounds = 0;
    wab::Position totalMoment;
    // std::nullopt where the total weight is not above zero (weights below zero can be entered).
    std::optional<wab::Position> centreOfGravity;
};

// The load sheet of a loading, from the loads its export writes.
Sheet ofLoading(const LoadingModel& loading);

// The load sheet of a copy's aircraft.cfg: the loads as the take-over reads them, in the places the
// export writes; the kilograms are those the take-over makes of them. std::nullopt where a station
// has no line or its load is no number.
std::optional<Sheet> ofCopy(const QByteArray& cfg);

// Why a load sheet cannot be saved at `path`, said before anything is asked: it is (its links
// followed) a file the program in `programFolder` ships, which it never overwrites.
std::optional<QList<MessagePart>> refusal(const QString& path, const QString& programFolder);

// Writes a load sheet made into `pdf` to `path`, as a whole or not at all, never over a file the
// program ships; the message parts that say why it could not be written.
std::optional<QList<MessagePart>> save(const QString& path, const QByteArray& pdf, const QString& programFolder);

} // namespace loadsheet
