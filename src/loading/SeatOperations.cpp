#include "SeatOperations.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <utility>

SeatOperations::SeatOperations(LoadingModel& model, Dialogs& dialogs, TextLookup text, QWidget* parent)
    : m_model(model), m_dialogs(dialogs), m_text(std::move(text)), m_parent(parent) {}

void SeatOperations::refuseRange() {
    m_dialogs.exclamation(m_parent, m_text(QStringLiteral("strWeightRange")) + QLatin1Char('!'), kErrorTitle);
}

std::optional<std::int16_t> SeatOperations::askWeight() {
    const auto answer = m_dialogs.inputBox(m_parent, m_text(QStringLiteral("boxWeight")) + QLatin1Char(':'),
                                           m_text(QStringLiteral("boxWeightCaption")));
    if (!answer)
        return std::nullopt;
    const double value = num::numericValue(*answer);
    if (value == 0.0)
        return std::nullopt;
    const auto weight = num::toWhole(value);
    if (weight && *weight == 0)
        return std::nullopt;
    if (!weight || *weight > kLargestEntry || *weight < -kLargestEntry) {
        refuseRange();
        return std::nullopt;
    }
    return weight;
}

SeatOperations::Outcome SeatOperations::click(Seat seat) {
    if (seat == Seat::Pilot) {
        auto weight = askWeight();
        if (!weight)
            return Outcome::Unchanged;
        if (*weight < kPilotMinimum) {
            m_dialogs.exclamation(m_parent, m_text(QStringLiteral("strUnder45")) + QLatin1Char('!'), kErrorTitle);
            weight = kPilotMinimum;
        }
        if (!m_model.setPilotWeight(*weight)) {
            refuseRange();
            return Outcome::Unchanged;
        }
        return Outcome::PilotChanged;
    }

    if (m_model.occupied(seat)) {
        if (!m_model.free(seat)) {
            refuseRange();
            return Outcome::Unchanged;
        }
        return Outcome::Freed;
    }

    const auto weight = askWeight();
    if (!weight)
        return Outcome::Unchanged;
    if (!m_model.seat(seat, *weight)) {
        refuseRange();
        return Outcome::Unchanged;
    }
    return Outcome::Seated;
}
