#pragma once

#include "core/common/RandomSource.h"

#include <QList>

// Replays given draws in order and counts the re-seeds. Running out of draws fails the test.
class ReplayRandom final : public RandomSource {
public:
    explicit ReplayRandom(QList<double> draws = {}) : m_draws(std::move(draws)) {}

    void setDraws(QList<double> draws) { m_draws = std::move(draws); }
    void reseed() override { ++m_reseeds; }
    double next() override;

    int reseeds() const { return m_reseeds; }
    int drawsLeft() const { return static_cast<int>(m_draws.size()); }

private:
    QList<double> m_draws;
    int m_reseeds = 0;
};
