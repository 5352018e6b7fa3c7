#pragma once

#include "LoadingModel.h"

class RandomSource;

// Replaces the whole loading by a random plausible one: a pilot of 40 to 100 kg, with even odds a
// co-pilot of 40 to 100 kg and, only with a co-pilot, each passenger seat with even odds, all
// within a budget of 222 kg for persons and baggage together.
namespace randomloading {

inline constexpr int kWeightSpan = 61;
inline constexpr int kLowestWeight = 40;
inline constexpr int kBudget = 222;
inline constexpr int kPassengerReserve = 11;
inline constexpr int kLowestPassenger = 10;

// Sets the seats of `model` and returns the drawn baggage, which lies within 0 .. baggageMaximum
// (what the baggage slider can show) and within the budget; the caller puts it on the slider.
std::int16_t apply(LoadingModel& model, RandomSource& random, int baggageMaximum);

} // namespace randomloading
