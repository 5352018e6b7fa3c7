#pragma once

#include "LoadingModel.h"

#include <QString>

#include <functional>
#include <optional>

class Dialogs;
class QWidget;

// What a click on a seat does: seat a person on a free seat, free an occupied one, or change the
// weight of the pilot. Weights are asked for through the dialogs; texts come by language key.
class SeatOperations {
public:
    using TextLookup = std::function<QString(const QString& key)>;

    enum class Outcome { Unchanged, Seated, Freed, PilotChanged };

    static constexpr std::int16_t kPilotMinimum = 40;
    // The largest weight one entry may have, either way: four persons of it with the fullest
    // baggage (23 kg) and the empty weight (695 kg) still fit 16 bits (4 x 8012 + 718 = 32766).
    // So every sum stays in range whatever is entered, and freeing a seat always frees it.
    static constexpr std::int16_t kLargestEntry = 8012;

    SeatOperations(LoadingModel& model, Dialogs& dialogs, TextLookup text, QWidget* parent = nullptr);

    Outcome click(Seat seat);

private:
    // The weight the user enters; std::nullopt when the entry counts as none (Cancel, empty,
    // no leading number, 0) or was refused as out of range (beyond kLargestEntry either way).
    std::optional<std::int16_t> askWeight();
    void refuseRange();

    LoadingModel& m_model;
    Dialogs& m_dialogs;
    TextLookup m_text;
    QWidget* m_parent;
};
