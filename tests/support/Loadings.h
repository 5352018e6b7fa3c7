#pragma once

#include "core/loading/LoadingModel.h"

#include <QTest>

#include <cstdint>
#include <utility>

// A loading with the given weights in kg (0: a free seat); a weight out of range fails the test.
inline LoadingModel loadingOf(std::int16_t pilot, std::int16_t co, std::int16_t left, std::int16_t right,
                              std::int16_t baggage) {
    LoadingModel m;
    bool ok = m.setPilotWeight(pilot) && m.setBaggage(baggage);
    for (const auto& [seat, kg] : {std::pair{Seat::Co, co}, {Seat::PaxLeft, left}, {Seat::PaxRight, right}})
        ok = ok && (kg == 0 || m.seat(seat, kg));
    if (!ok)
        QTest::qFail("loading out of range", __FILE__, __LINE__);
    return m;
}
