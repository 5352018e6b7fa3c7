#pragma once

#include <cstdint>
#include <random>

// Uniform draws in [0, 1) with re-seeding points, as the random loading needs them.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Stirs the current time into the generator before the next draw.
    virtual void reseed() = 0;
    virtual double next() = 0;
};

// The real generator: seeded once from the system's entropy source; reseed() mixes the clock into
// its running state instead of restarting it from the clock, so draws within one clock tick
// neither repeat nor correlate.
class SystemRandom final : public RandomSource {
public:
    SystemRandom();
    void reseed() override;
    double next() override;

private:
    std::mt19937_64 m_engine;
};
