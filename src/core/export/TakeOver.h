#pragma once

#include "core/common/MessagePart.h"
#include "core/loading/LoadingModel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// Taking over the loading an installed copy of the TQ 58 already holds: the way back from the
// station loads an export wrote to the loading that wrote them.
//
// The loads are found as the writer finds its lines (wab::readStationValues()). A free seat's
// zero form, or 0, means free; any other number of pounds (whole, or with decimals as other tools
// and hand edits leave them) is a person of round(pounds / 2.2046) kg, and the baggage likewise.
// An export writes each load rounded down from whole kilograms, which is less than half a kilogram
// below them, so every loading the program wrote comes back exactly; other loads may come back as
// kilograms that the next export writes as other pounds, and the user is told which. What the main
// window would itself refuse is refused here too.
namespace takeover {

inline constexpr double kPoundsPerKilogram = 2.2046;

// Why a station's load cannot be taken over.
enum class Reason {
    NotANumber,   // not a number of pounds
    BeyondLimit,  // beyond the largest entry, either way
    PilotUnder,   // a pilot under the pilot's minimum
    NoWeight,     // a seated person of 0 kg, which the window takes as no entry
    BaggageRange, // outside the baggage slider's range
    SumRange,     // the weights together would leave 16 bits
};

struct Refusal {
    Reason reason = Reason::NotANumber;
    int station = 0; // 0 pilot, 1 co-pilot, 2 and 3 left and right passenger, 4 baggage
    QByteArray value;
    friend bool operator==(const Refusal&, const Refusal&) = default;
};

// What a copy's aircraft.cfg holds.
struct Reading {
    enum class Kind {
        Loading,   // `loading` can be taken over
        NoLoading, // the first weight-and-balance section lacks one of the five station lines
        Refused,   // `refusal` says which load stands in the way
    };
    Kind kind = Kind::NoLoading;
    LoadingModel loading;
    Refusal refusal;
    // For a loading: the stations whose load in the file differs from what the next export of the
    // loading writes, with the file's value (as it stands) and the pounds then written.
    struct Change {
        int station = 0;
        QByteArray value;
        std::int64_t pounds = 0;
        friend bool operator==(const Change&, const Change&) = default;
    };
    QList<Change> changes;
};

Reading interpret(const QByteArray& cfg);

// A station's load as the take-over reads it (a value of wab::readStationValues()): a number of
// pounds, digits with an optional sign and decimal point ("176", "176.4", "-3", ".5");
// std::nullopt for anything else.
std::optional<double> poundsOf(QByteArrayView value);

// The loading in short, as the list of copies shows it: "80 / 75 / – / 60 kg, 12 kg" (pilot,
// co-pilot, left and right passenger, a free seat as "–"; then the baggage).
QString summary(const LoadingModel& loading);

// The outcome of taking over the loading of the copy whose aircraft.cfg is `cfgPath`, listed as
// `title`: the loading, or the message parts to show (and then nothing is to change). With a
// loading, `message` is empty or says which stations the next export writes with other pounds than
// the file holds: its first part, then one part per station.
struct Result {
    std::optional<LoadingModel> loading;
    QList<MessagePart> message;
};
Result takeOver(const QString& cfgPath, const QString& title);

// The summary of each copy's loading in the order given, or `noLoading` for a copy whose loading
// cannot be taken over.
QStringList summaries(const QStringList& cfgPaths, const QString& noLoading);

} // namespace takeover
