#pragma once

#include "LoadingModel.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a click on a seat does: seat a person on a free seat, free an occupied one, or change the
// weight of the pilot. The window asks for the weight and shows what the click tells; texts come
// by language key.
class SeatOperations {
public:
    using TextLookup = std::function<QString(const QString& key)>;

    enum class Outcome { Unchanged, Seated, Freed, PilotChanged };

    static constexpr std::int16_t kPilotMinimum = 40;
    // The largest weight one entry may have, either way: four persons of it with the fullest
    // baggage (23 kg) and the empty weight (695 kg) still fit 16 bits (4 x 8012 + 718 = 32766).
    // So every sum stays in range whatever is entered, and freeing a seat always frees it.
    static constexpr std::int16_t kLargestEntry = 8012;

    SeatOperations(LoadingModel& model, TextLookup text);

    // The input box a click on `seat` shows first: on the pilot and on a free seat.
    struct Question {
        QString prompt;
        QString title;
    };
    std::optional<Question> weightQuestion(Seat seat) const;

    // The click, with what was entered in the input box (std::nullopt: Cancel, or nothing asked).
    // `errors` are the texts of the error messages to show afterwards, in order.
    struct Result {
        Outcome outcome = Outcome::Unchanged;
        QStringList errors;
    };
    Result click(Seat seat, const std::optional<QString>& entered);

private:
    // The weight entered; std::nullopt when the entry counts as none (Cancel, empty, no leading
    // number, 0) or was refused as out of range (beyond kLargestEntry either way).
    std::optional<std::int16_t> weightOf(const std::optional<QString>& entered, QStringList* errors) const;
    QString error(const char* key) const;

    LoadingModel& m_model;
    TextLookup m_text;
};
