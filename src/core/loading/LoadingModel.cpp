#include "LoadingModel.h"

#include "core/common/Numbers.h"

namespace {
constexpr long kMin = -32768;
constexpr long kMax = 32767;
bool inRange(long v) {
    return v >= kMin && v <= kMax;
}
} // namespace

LoadingModel::LoadingModel() {
    reset();
}

void LoadingModel::reset() {
    m_seats = {};
    m_seats[index(Seat::Pilot)] = {true, kStartPilotWeight};
    m_personSum = kStartPilotWeight;
    m_baggage = 0;
}

bool LoadingModel::fits(long sum, long baggage) const {
    return inRange(sum) && inRange(baggage) && inRange(kEmptyWeight + sum + baggage);
}

bool LoadingModel::seat(Seat seat, std::int16_t weight) {
    SeatState& s = m_seats[index(seat)];
    if (seat == Seat::Pilot || s.occupied)
        return false;
    const long sum = long{m_personSum} + weight;
    if (!fits(sum, m_baggage))
        return false;
    s = {true, weight};
    m_personSum = static_cast<std::int16_t>(sum);
    return true;
}

bool LoadingModel::free(Seat seat) {
    SeatState& s = m_seats[index(seat)];
    if (seat == Seat::Pilot || !s.occupied)
        return false;
    const long sum = long{m_personSum} - s.weight;
    if (!fits(sum, m_baggage))
        return false;
    s = {};
    m_personSum = static_cast<std::int16_t>(sum);
    return true;
}

bool LoadingModel::setPilotWeight(std::int16_t weight) {
    SeatState& s = m_seats[index(Seat::Pilot)];
    const long sum = long{m_personSum} - s.weight + weight;
    if (!fits(sum, m_baggage))
        return false;
    s.weight = weight;
    m_personSum = static_cast<std::int16_t>(sum);
    return true;
}

bool LoadingModel::setBaggage(std::int16_t kilograms) {
    if (!fits(m_personSum, kilograms))
        return false;
    m_baggage = kilograms;
    return true;
}

void LoadingModel::clearPersons() {
    m_personSum = 0;
    for (Seat seat : kAllSeats) {
        if (seat != Seat::Pilot)
            m_seats[index(seat)] = {};
    }
    m_seats[index(Seat::Pilot)].weight = 0;
}

QString weightRecord(std::int16_t weight) {
    return num::plainDigits(weight) + QStringLiteral(" kg");
}

QString totalCaption(int total) {
    return num::signedForm(total) + QStringLiteral(" kg");
}
