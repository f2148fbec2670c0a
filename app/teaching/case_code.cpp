#include "app/teaching/case_code.h"

#include <chrono>

#include "app/window/random.h"

namespace {

constexpr std::string_view kDigitSymbols = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::string_view kCheckSymbols = "0123456789ABCDEFGHJKMNPQRSTVWXYZ*~$=U";

// Different constants for the two kinds of stream keep a customer's stream apart from the dial's.
constexpr uint64_t kCustomerStreams = 0x6A09E667F3BCC909ULL;
constexpr uint64_t kDialStream = 0xBB67AE8584CAA73BULL;

uint64_t customerStart(uint64_t code, uint64_t n) { return splitMix(splitMix(code ^ kCustomerStreams) + n); }

// The value of one typed symbol, or -1. Crockford's reading: I and L are 1, O is 0. A check
// symbol '_' is the '*' a file name cannot hold (csvFileName).
int symbolValue(char c, bool check) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (check && c == '_') c = '*';
    if (c == 'I' || c == 'L') c = '1';
    if (c == 'O') c = '0';
    const std::string_view symbols = check ? kCheckSymbols : kDigitSymbols;
    const size_t at = symbols.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// Typed text in ASCII: the full-width forms of ASCII (as a Japanese input method gives them)
// become ASCII, and spaces and every kind of dash or long-vowel mark are dropped. Other
// characters are kept as they are, so that they fail as symbols. Empty on broken UTF-8.
std::optional<std::string> normalised(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if (b != ' ' && b != '-' && b != '\t') out += static_cast<char>(b);
            ++i;
            continue;
        }
        // Only three-byte sequences can be a character we read; anything else is no symbol.
        if ((b & 0xF0) != 0xE0 || i + 2 >= text.size()) return std::nullopt;
        const auto b1 = static_cast<unsigned char>(text[i + 1]), b2 = static_cast<unsigned char>(text[i + 2]);
        if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return std::nullopt;
        const unsigned cp = ((b & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        i += 3;
        if (cp == 0x3000 || cp == 0xFF0D || cp == 0x30FC || cp == 0x2212 || (cp >= 0x2010 && cp <= 0x2015)) continue;
        if (cp >= 0xFF01 && cp <= 0xFF5E) {
            out += static_cast<char>(cp - 0xFF01 + 0x21);
            continue;
        }
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<CaseCode> CaseCode::parse(std::string_view text) {
    const std::optional<std::string> symbols = normalised(text);
    if (!symbols || symbols->size() != kDigits + 1) return std::nullopt;
    uint64_t number = 0;
    for (int i = 0; i < kDigits; ++i) {
        const int v = symbolValue((*symbols)[i], false);
        if (v < 0) return std::nullopt;
        number = number * 32 + static_cast<uint64_t>(v);
    }
    const int check = symbolValue(symbols->back(), true);
    if (check < 0 || static_cast<uint64_t>(check) != number % 37) return std::nullopt;
    return CaseCode(number);
}

CaseCode CaseCode::fromClock() {
    // The wall clock differs between machines and runs, the steady clock between two starts
    // within one tick of it; mixed, the low 40 bits are as good as any.
    const auto wall = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const auto steady = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return CaseCode(splitMix(wall ^ splitMix(steady)));
}

std::string CaseCode::digits() const {
    std::string out(kDigits, '0');
    uint64_t n = number_;
    for (int i = kDigits - 1; i >= 0; --i, n /= 32) out[static_cast<size_t>(i)] = kDigitSymbols[n % 32];
    return out;
}

char CaseCode::checkSymbol() const { return kCheckSymbols[number_ % 37]; }

std::string CaseCode::text() const {
    const std::string d = digits();
    return d.substr(0, 4) + "-" + d.substr(4) + "-" + checkSymbol();
}

CodeRandom::CodeRandom(CaseCode code)
    : code_(code), customerState_(customerStart(code.number(), 0)), dialState_(splitMix(code.number() ^ kDialStream)) {}

void CodeRandom::startCustomer(uint64_t n) {
    customer_ = static_cast<int64_t>(n);
    customerState_ = customerStart(code_.number(), n);
}

void CodeRandom::nextCustomer() { startCustomer(static_cast<uint64_t>(customer_ + 1)); }

float CodeRandom::customerDraw() { return splitMixDraw(customerState_); }

float CodeRandom::dialDraw() {
    ++dialDraws_;
    return splitMixDraw(dialState_);
}

void CodeRandom::skipDialDraws(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) dialDraw();
}
