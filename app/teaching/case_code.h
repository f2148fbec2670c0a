#pragma once
// The case code: one 40-bit number that fixes a whole sitting (every customer's hidden
// correction and auto-refractor reading, and the dial's guesses), written so that people can
// read it out, type it and share it: 8 digits of Crockford's base 32 and his check symbol,
// shown as "XXXX-XXXX-C". And the random streams drawn from a code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/window/platform.h"

// What the panel says when a typed code cannot be read.
inline constexpr const char* kBadCaseCodeMessage = "問題コードが正しくありません";

class CaseCode {
public:
    static constexpr int kDigits = 8;
    static constexpr uint64_t kLimit = uint64_t{1} << 40;  // codes are 0 .. kLimit - 1

    // The code of `number`, which is taken modulo 2^40.
    explicit CaseCode(uint64_t number = 0) : number_(number % kLimit) {}

    // Reads a typed code: case, spaces and hyphens (also their full-width forms) do not matter,
    // I and L read as 1, O as 0. Nothing for a wrong length, a symbol that is no digit, or a
    // check symbol that does not match, so that a typo is caught rather than playing someone
    // else's customers. A check symbol '_' reads as '*', as file names write it.
    static std::optional<CaseCode> parse(std::string_view text);

    // A fresh code from the clock, for a sitting started without one.
    static CaseCode fromClock();

    uint64_t number() const { return number_; }
    // "XXXX-XXXX-C".
    std::string text() const;
    // The 8 digits alone, most significant first.
    std::string digits() const;
    // The check symbol: the number modulo 37 in 0-9 A-Z without I L O U, then * ~ $ = U.
    char checkSymbol() const;

    friend bool operator==(const CaseCode&, const CaseCode&) = default;

private:
    uint64_t number_;
};

// The draws of a sitting played from a code. The n-th customer's draws (hidden correction and
// auto-refractor reading) come from a stream of their own, fixed by the code and n, so the
// n-th customer is the same whatever was done with the customers before; the dial's guesses
// come from one more stream of the code. Each stream is a SplitMix64 generator, and a draw
// is 24 of its bits times 2^-24, as the clock-seeded source draws, so that every standard
// library and the WebAssembly build give the same customers.
class CodeRandom {
public:
    explicit CodeRandom(CaseCode code);
    // The two sources point back at this object.
    CodeRandom(const CodeRandom&) = delete;
    CodeRandom& operator=(const CodeRandom&) = delete;

    const CaseCode& code() const { return code_; }

    // The customer streams: `startCustomer(n)` moves to customer n (0 is the first);
    // `nextCustomer()` moves to the one after the current, or to 0 before any was started.
    void startCustomer(uint64_t n);
    void nextCustomer();
    // The customer now drawn; -1 before any was started.
    int64_t customer() const { return customer_; }
    float customerDraw();

    float dialDraw();
    // How many numbers the dial stream has given, and the stream moved on by `count` without them.
    uint64_t dialDraws() const { return dialDraws_; }
    void skipDialDraws(uint64_t count);

    // The same streams as RandomSource, for the window's draw() calls.
    RandomSource& customerSource() { return customerSource_; }
    RandomSource& dialSource() { return dialSource_; }

private:
    class Stream : public RandomSource {
    public:
        explicit Stream(CodeRandom& owner, bool dial) : owner_(owner), dial_(dial) {}
        float draw() override { return dial_ ? owner_.dialDraw() : owner_.customerDraw(); }
        void nextCustomer() override {
            if (!dial_) owner_.nextCustomer();
        }

    private:
        CodeRandom& owner_;
        bool dial_;
    };

    CaseCode code_;
    int64_t customer_ = -1;
    uint64_t customerState_;
    uint64_t dialState_;
    uint64_t dialDraws_ = 0;
    Stream customerSource_{*this, false};
    Stream dialSource_{*this, true};
};
