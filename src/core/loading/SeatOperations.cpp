#include "SeatOperations.h"

#include "core/common/Numbers.h"

#include <utility>

SeatOperations::SeatOperations(LoadingModel& model, TextLookup text) : m_model(model), m_text(std::move(text)) {}

QString SeatOperations::error(const char* key) const {
    return m_text(QString::fromLatin1(key)) + QLatin1Char('!');
}

std::optional<SeatOperations::Question> SeatOperations::weightQuestion(Seat seat) const {
    if (seat != Seat::Pilot && m_model.occupied(seat))
        return std::nullopt;
    return Question{m_text(QStringLiteral("boxWeight")) + QLatin1Char(':'), m_text(QStringLiteral("boxWeightCaption"))};
}

std::optional<std::int16_t> SeatOperations::weightOf(const std::optional<QString>& entered, QStringList* errors) const {
    if (!entered)
        return std::nullopt;
    const double value = num::numericValue(*entered);
    if (value == 0.0)
        return std::nullopt;
    const auto weight = num::toWhole(value);
    if (weight && *weight == 0)
        return std::nullopt;
    if (!weight || *weight > kLargestEntry || *weight < -kLargestEntry) {
        errors->append(error("strWeightRange"));
        return std::nullopt;
    }
    return weight;
}

SeatOperations::Result SeatOperations::click(Seat seat, const std::optional<QString>& entered) {
    Result result;
    if (seat == Seat::Pilot) {
        auto weight = weightOf(entered, &result.errors);
        if (!weight)
            return result;
        if (*weight < kPilotMinimum) {
            result.errors.append(error("strUnder45"));
            weight = kPilotMinimum;
        }
        if (!m_model.setPilotWeight(*weight))
            result.errors.append(error("strWeightRange"));
        else
            result.outcome = Outcome::PilotChanged;
        return result;
    }

    if (m_model.occupied(seat)) {
        if (!m_model.free(seat))
            result.errors.append(error("strWeightRange"));
        else
            result.outcome = Outcome::Freed;
        return result;
    }

    const auto weight = weightOf(entered, &result.errors);
    if (!weight)
        return result;
    if (!m_model.seat(seat, *weight))
        result.errors.append(error("strWeightRange"));
    else
        result.outcome = Outcome::Seated;
    return result;
}
