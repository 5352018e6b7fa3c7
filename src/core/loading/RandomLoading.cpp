#include "RandomLoading.h"

#include "core/common/Numbers.h"
#include "core/common/RandomSource.h"

#include <algorithm>
#include <cmath>

namespace randomloading {
namespace {

int drawBelow(RandomSource& random, int count) {
    return static_cast<int>(std::floor(random.next() * count));
}

bool coin(RandomSource& random) {
    random.reseed();
    return drawBelow(random, 2) == 1;
}

int passengerLimit(const LoadingModel& model) {
    return num::toWhole(double(kBudget) - model.personSum() - kPassengerReserve).value_or(0);
}

} // namespace

std::int16_t apply(LoadingModel& model, RandomSource& random, int baggageMaximum) {
    model.clearPersons();

    random.reseed();
    model.setPilotWeight(static_cast<std::int16_t>(drawBelow(random, kWeightSpan) + kLowestWeight));

    if (coin(random)) {
        random.reseed();
        model.seat(Seat::Co, static_cast<std::int16_t>(drawBelow(random, kWeightSpan) + kLowestWeight));
    }
    if (model.blnCo()) {
        if (coin(random)) {
            random.reseed();
            const int limit = passengerLimit(model);
            model.seat(Seat::PaxLeft, static_cast<std::int16_t>(drawBelow(random, limit) + kLowestPassenger));
        }

        if (coin(random)) {
            random.reseed();
            const int limit = passengerLimit(model);
            if (limit >= kLowestPassenger)
                model.seat(Seat::PaxRight, static_cast<std::int16_t>(drawBelow(random, limit) + kLowestPassenger));
        }
    }

    // The baggage is drawn within what the slider can show, so slider, read-out and total agree.
    const int budget = num::toWhole(double(kBudget) - model.personSum()).value_or(0);
    const int top = std::clamp(std::min(budget, baggageMaximum), 0, 32767);
    return static_cast<std::int16_t>(drawBelow(random, top + 1));
}

} // namespace randomloading
