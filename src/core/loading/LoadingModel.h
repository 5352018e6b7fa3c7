#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The four seat stations of the TQ 58.
enum class Seat { Pilot = 0, Co = 1, PaxLeft = 2, PaxRight = 3 };
inline constexpr std::array<Seat, 4> kAllSeats{Seat::Pilot, Seat::Co, Seat::PaxLeft, Seat::PaxRight};

// The loading of the aircraft: who sits where, how heavy each person is, the running sum of the
// person weights, and the baggage. The pilot seat is always occupied.
//
// Every weight, the person sum and the total stay within 16-bit signed integers: an operation
// that would take any of them outside is refused (it returns false) and changes nothing.
class LoadingModel {
public:
    static constexpr int kEmptyWeight = 695;
    static constexpr std::int16_t kStartPilotWeight = 80;
    // The baggage slider's range ends: whole kilograms from 0 to 23.
    static constexpr std::int16_t kBaggageMaximum = 23;

    LoadingModel();

    // The state every load of the main window starts from: pilot 80 kg, the other seats free,
    // no baggage.
    void reset();

    bool occupied(Seat seat) const { return m_seats[index(seat)].occupied; }
    // Weight of the person on the seat; 0 for a free seat.
    std::int16_t weight(Seat seat) const { return m_seats[index(seat)].weight; }
    std::int16_t personSum() const { return m_personSum; }
    std::int16_t baggage() const { return m_baggage; }
    // Empty weight + persons + baggage.
    int total() const { return kEmptyWeight + m_personSum + m_baggage; }

    // Whether the co-pilot's seat is taken: passengers fly only with a co-pilot.
    bool blnCo() const { return occupied(Seat::Co); }

    // Seats a person on a free co-pilot or passenger seat and adds the weight to the sum.
    bool seat(Seat seat, std::int16_t weight);
    // Frees an occupied co-pilot or passenger seat and subtracts its weight from the sum.
    bool free(Seat seat);
    // Replaces the weight of the pilot: the old weight leaves the sum, the new one enters it.
    bool setPilotWeight(std::int16_t weight);
    bool setBaggage(std::int16_t kilograms);
    // Sets the person sum directly (the random loading starts it from 0).
    void clearPersons();

    friend bool operator==(const LoadingModel&, const LoadingModel&) = default;

private:
    struct SeatState {
        bool occupied = false;
        std::int16_t weight = 0;
        friend bool operator==(const SeatState&, const SeatState&) = default;
    };
    static std::size_t index(Seat seat) { return static_cast<std::size_t>(seat); }
    // True when a person sum of `sum` with the current baggage keeps everything in range.
    bool fits(long sum, long baggage) const;

    std::array<SeatState, 4> m_seats{};
    std::int16_t m_personSum = 0;
    std::int16_t m_baggage = 0;
};

// The weight record of an occupied seat: plain digits followed by " kg".
QString weightRecord(std::int16_t weight);

// The total in the form of the total read-out: sign place, digits, " kg".
QString totalCaption(int total);
