#include "RandomSource.h"

#include <chrono>

SystemRandom::SystemRandom() {
    std::random_device device;
    std::seed_seq seeds{device(), device(), device(), device(), device(), device(), device(), device()};
    m_engine.seed(seeds);
}

void SystemRandom::reseed() {
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seeds{static_cast<std::uint32_t>(m_engine()), static_cast<std::uint32_t>(m_engine() >> 32),
                        static_cast<std::uint32_t>(m_engine()), static_cast<std::uint32_t>(now),
                        static_cast<std::uint32_t>(now >> 32)};
    m_engine.seed(seeds);
}

double SystemRandom::next() {
    return std::generate_canonical<double, 53>(m_engine);
}
