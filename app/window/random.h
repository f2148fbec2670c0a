#pragma once
// Uniform numbers 0 <= u < 1 in single precision for the window logic: from the clock as the
// desktop draws customers, or from a seed so that a page opened with it meets the same ones.
// Both are one SplitMix64 generator; they differ only in whether the clock goes into its state.

#include <cstdint>

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float draw() = 0;
    // A new customer is about to be drawn. Sources that fix each customer's draws (a case code)
    // move to that customer's stream here; the others go on as they are.
    virtual void nextCustomer() {}
};

// The SplitMix64 output function: a bijection of 64-bit numbers that spreads every input bit.
constexpr uint64_t splitMix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// One SplitMix64 step on `state`, as a float on the 2^-24 grid in [0, 1).
float splitMixDraw(uint64_t& state);

// The real source, reseeded from the clock before every draw. Mixing the clock into the state
// rather than restarting from it keeps two draws in the same clock tick apart.
class ClockRandom : public RandomSource {
public:
    float draw() override;

private:
    uint64_t state_ = 0x853C49E6748FEA9BULL;
};

// The same generator started from a seed, without the clock.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}
    float draw() override { return splitMixDraw(state_); }

private:
    uint64_t state_;
};
