#include "app/window/random.h"

#include <chrono>

float splitMixDraw(uint64_t& state) {
    const uint64_t z = splitMix(state += 0x9E3779B97F4A7C15ULL);
    // 24 random bits make every float of the 2^-24 grid in [0, 1) equally likely, and never 1.
    return static_cast<float>(z >> 40) * 0x1p-24f;
}

float ClockRandom::draw() {
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    // Reseed: the clock goes into the state, which keeps everything drawn before.
    state_ ^= now * 0xD1B54A32D192ED03ULL;
    return splitMixDraw(state_);
}
