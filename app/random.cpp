#include <chrono>

#include "platform.h"

ClockRandom::ClockRandom() : engine_(0x5DEECE66DULL) {}

float ClockRandom::draw() {
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    // Reseed from the clock and the generator's own next output together.
    std::seed_seq seq{static_cast<uint32_t>(engine_()), static_cast<uint32_t>(engine_() >> 32),
                      static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32)};
    engine_.seed(seq);
    // 24 random bits make every float in [0, 1) on a 2^-24 grid equally likely, and never 1.
    return static_cast<float>(engine_() >> 40) * 0x1p-24f;
}
