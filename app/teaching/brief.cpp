#include "app/teaching/brief.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "optics/refraction.h"

namespace {

constexpr std::string_view kHead = "B1";
constexpr std::string_view kVerbLetters = "csatr";  // in the order of InputVerb

std::string base36(int64_t n) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, n, 36).ptr;
    return std::string(buf, end);
}

template <class Int>
bool readNumber(std::string_view text, Int& out, int base = 36) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> split(std::string_view text, char by) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (true) {
        const size_t end = text.find(by, at);
        out.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) return out;
        at = end + 1;
    }
}

// Dioptres in hundredths: every value the window shows has two decimals at most.
int64_t hundredths(double d) { return std::llround(d * 100); }

void lensFields(std::string& out, const Refraction& r) {
    out += ',' + base36(hundredths(r.S)) + ',' + base36(hundredths(r.C)) + ',' + base36(std::llround(r.A));
}

char modeLetter(Mode m) { return m == Mode::Practice ? 'p' : m == Mode::Sample ? 's' : 't'; }

std::string caseText(const CaseRecord& c, const CaseTally& t, const CaseCode* before, int64_t startedMs) {
    std::string out = before && *before == c.code ? std::string() : c.code.text();
    const Step& r = c.result();
    out += ',' + base36(static_cast<int64_t>(c.customer)) + ',';
    out += modeLetter(c.mode);
    out += c.status == CaseStatus::Ended ? 'e' : 'a';
    out += t.modeChanged ? '1' : '0';
    out += ',' + base36(c.started.epochMs - startedMs) + ',' + base36(c.durationMs());
    lensFields(out, c.readingLens);
    lensFields(out, r.correction);
    lensFields(out, r.lens);
    for (int n : {t.questions, t.actions, t.hints, t.checksPassed}) out += ',' + base36(n);
    out += ',' + (t.judged ? base36(t.checksMade) : std::string());
    return out;
}

std::string entryText(const JournalEntry& e, int64_t before, const std::vector<std::string>& controls) {
    const std::string delta = ',' + base36(e.timeMs - before);
    switch (e.kind) {
    case JournalEntry::Kind::Input: {
        const auto at = std::find(controls.begin(), controls.end(), e.control);
        std::string out = std::to_string(at - controls.begin()) + kVerbLetters[static_cast<int>(e.input.verb)];
        if (e.input.value != 0) out += base36(e.input.value);
        return out + delta;
    }
    case JournalEntry::Kind::Hint:
        return 'h' + delta;
    case JournalEntry::Kind::Code:
        return 'c' + e.code.text() + delta;
    case JournalEntry::Kind::Saved:
    case JournalEntry::Kind::Name:
        break;
    }
    return {};
}

std::optional<Refraction> readLens(const std::vector<std::string_view>& f, size_t at) {
    int64_t s = 0, c = 0, a = 0;
    if (!readNumber(f[at], s) || !readNumber(f[at + 1], c) || !readNumber(f[at + 2], a)) return std::nullopt;
    return Refraction{static_cast<double>(s) / 100, static_cast<double>(c) / 100, static_cast<double>(a)};
}

std::optional<CaseRecord> readCase(std::string_view text, const CaseCode* before, const SittingBrief& b) {
    const auto f = split(text, ',');
    if (f.size() != 19 || f[2].size() != 3) return std::nullopt;
    CaseRecord c;
    if (f[0].empty()) {
        if (!before) return std::nullopt;
        c.code = *before;
    } else {
        const auto code = CaseCode::parse(f[0]);
        if (!code || code->text() != f[0]) return std::nullopt;
        c.code = *code;
    }
    const std::string_view flags = f[2];
    const size_t mode = std::string_view("tps").find(flags[0]);
    if (!readNumber(f[1], c.customer) || mode == std::string_view::npos || (flags[1] != 'e' && flags[1] != 'a') ||
        (flags[2] != '0' && flags[2] != '1'))
        return std::nullopt;
    c.mode = static_cast<Mode>(mode);
    c.status = flags[1] == 'e' ? CaseStatus::Ended : CaseStatus::Abandoned;
    int64_t start = 0, duration = 0;
    const auto reading = readLens(f, 5), correction = readLens(f, 8), lens = readLens(f, 11);
    if (!readNumber(f[3], start) || !readNumber(f[4], duration) || duration < 0 || !reading || !correction || !lens)
        return std::nullopt;
    CaseTally t;
    t.modeChanged = flags[2] == '1';
    for (auto [field, n] : {std::pair{14, &t.questions}, {15, &t.actions}, {16, &t.hints}, {17, &t.checksPassed}})
        if (!readNumber(f[field], *n) || *n < 0) return std::nullopt;
    t.judged = !f[18].empty();
    if (t.judged && (!readNumber(f[18], t.checksMade) || t.checksMade < t.checksPassed)) return std::nullopt;

    c.started = {b.startedMs + start, b.offsetMinutes};
    c.readingLens = *reading;
    c.reading = refractionText(reading->S, reading->C, reading->A);
    Step& first = c.steps.emplace_back();
    first.correction = *correction;
    first.residual = residualBetween(first.correction, first.lens);
    Step& last = c.steps.emplace_back();
    last.timeMs = duration;
    last.kind = c.status == CaseStatus::Ended ? StepKind::End : StepKind::Sphere;
    last.lens = *lens;
    last.correction = *correction;
    last.residual = residualBetween(last.correction, last.lens);
    if (c.status == CaseStatus::Ended) c.endStep = 1;
    c.tally = t;
    return c;
}

std::optional<JournalEntry> readEntry(std::string_view text, int64_t before, const std::vector<std::string>& controls) {
    const size_t comma = text.rfind(',');
    if (comma == std::string_view::npos || comma == 0) return std::nullopt;
    JournalEntry e;
    int64_t delta = 0;
    if (!readNumber(text.substr(comma + 1), delta) || delta < 0) return std::nullopt;
    e.timeMs = before + delta;
    const std::string_view head = text.substr(0, comma);
    if (head == "h") {
        e.kind = JournalEntry::Kind::Hint;
        return e;
    }
    if (head[0] == 'c') {
        const auto code = CaseCode::parse(head.substr(1));
        if (!code || code->text() != head.substr(1)) return std::nullopt;
        e.kind = JournalEntry::Kind::Code;
        e.code = *code;
        return e;
    }
    // The control's index in decimal digits, its verb's letter, and the value.
    size_t verbAt = 0;
    while (verbAt < head.size() && head[verbAt] >= '0' && head[verbAt] <= '9') ++verbAt;
    if (verbAt == 0 || verbAt == head.size()) return std::nullopt;
    size_t index = 0;
    const size_t verb = kVerbLetters.find(head[verbAt]);
    if (!readNumber(head.substr(0, verbAt), index, 10) || index >= controls.size() || verb == std::string_view::npos)
        return std::nullopt;
    e.kind = JournalEntry::Kind::Input;
    e.control = controls[index];
    e.input.verb = static_cast<InputVerb>(verb);
    const std::string_view value = head.substr(verbAt + 1);
    if (!value.empty() && !readNumber(value, e.input.value)) return std::nullopt;
    return e;
}

}  // namespace

std::string sittingBrief(const SittingParts& p, size_t limit) {
    const std::vector<CaseRecord>& cases = *p.cases;
    const std::vector<BriefStart>& starts = *p.starts;
    const std::vector<JournalEntry>& entries = *p.entries;
    const int offset = cases.empty() ? 0 : cases.back().started.offsetMinutes;
    const std::string head = std::string(kHead) + ' ' + base36(p.startedMs) + ' ' + base36(offset) + '|';
    const auto startText = [](const BriefStart& s) {
        return s.code.text() + ' ' + (s.next ? 'N' : 'L') + base36(static_cast<int64_t>(s.customer)) + ' ' +
               base36(s.timeMs) + ' ' + base36(static_cast<int64_t>(s.dialDraws)) + '|';
    };

    // Each case as written after the one before it, and the lengths so far (each with its ';').
    std::vector<std::string> caseTexts;
    std::vector<size_t> caseLengths{0};
    for (size_t i = 0; i < cases.size(); ++i) {
        caseTexts.push_back(caseText(cases[i], p.tallies[i], i ? &cases[i - 1].code : nullptr, p.startedMs));
        caseLengths.push_back(caseLengths.back() + caseTexts.back().size() + 1);
    }
    // Each entry the brief keeps, timed from the one kept before it, and the lengths so far (each
    // with its space). The first after a start is timed from the start instead.
    std::vector<size_t> kept;
    std::vector<std::string> entryTexts;
    std::vector<size_t> entryLengths{0};
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string e = entryText(entries[i], kept.empty() ? 0 : entries[kept.back()].timeMs, *p.controls);
        if (e.empty()) continue;
        kept.push_back(i);
        entryLengths.push_back(entryLengths.back() + e.size() + 1);
        entryTexts.push_back(std::move(e));
    }
    const auto firstKept = [&](const BriefStart& s) {
        return static_cast<size_t>(std::lower_bound(kept.begin(), kept.end(), s.firstEntry) - kept.begin());
    };
    // The entries from the k-th kept one on, the first timed from `s`, within `room` characters.
    const auto entriesFrom = [&](const BriefStart& s, size_t k, size_t room) {
        std::string out;
        for (size_t j = k; j < kept.size(); ++j) {
            const std::string e = j == k ? entryText(entries[kept[j]], s.timeMs, *p.controls) : entryTexts[j];
            if (out.size() + (j > k) + e.size() > room) break;
            if (j > k) out += ' ';
            out += e;
        }
        return out;
    };

    // The earliest start whose cases before it and inputs since all fit.
    for (const BriefStart& s : starts) {
        const size_t k = firstKept(s);
        const size_t casesLength = s.casesBefore ? caseLengths[s.casesBefore] - 1 : 0;
        size_t entriesLength = 0;
        if (k < kept.size())
            entriesLength =
                entryText(entries[kept[k]], s.timeMs, *p.controls).size() + entryLengths.back() - entryLengths[k + 1];
        if (head.size() + startText(s).size() + casesLength + 1 + entriesLength > limit) continue;
        std::string out = head + startText(s);
        for (size_t i = 0; i < s.casesBefore; ++i) out += (i ? ";" : "") + caseTexts[i];
        return out + '|' + entriesFrom(s, k, limit);
    }
    // Else the last start, with the latest of the cases before it and the first of its inputs that
    // fit, the cases first: they are the exercise's results.
    const BriefStart& last = starts.back();
    std::string out = head + startText(last);
    std::string front;
    for (size_t i = last.casesBefore; i-- > 0;) {
        // Written first, a case names its code.
        std::string one = caseText(cases[i], p.tallies[i], nullptr, p.startedMs);
        if (out.size() + one.size() + 1 + front.size() + 1 > limit) break;
        front = front.empty() ? one : one + ';' + front;
    }
    out += front + '|';
    return out + entriesFrom(last, firstKept(last), limit - out.size());
}

std::optional<SittingBrief> readBrief(std::string_view text, const std::vector<std::string>& controls) {
    const auto parts = split(text, '|');
    if (parts.size() != 4) return std::nullopt;
    SittingBrief b;
    const auto head = split(parts[0], ' ');
    int64_t offset = 0;
    if (head.size() != 3 || head[0] != kHead || !readNumber(head[1], b.startedMs) || !readNumber(head[2], offset) ||
        std::abs(offset) > 24 * 60)
        return std::nullopt;
    b.offsetMinutes = static_cast<int>(offset);

    const auto start = split(parts[1], ' ');
    if (start.size() != 4 || start[1].size() < 2 || (start[1][0] != 'L' && start[1][0] != 'N')) return std::nullopt;
    const auto code = CaseCode::parse(start[0]);
    if (!code || code->text() != start[0]) return std::nullopt;
    b.start.code = *code;
    b.start.next = start[1][0] == 'N';
    if (!readNumber(start[1].substr(1), b.start.customer) || !readNumber(start[2], b.start.timeMs) ||
        !readNumber(start[3], b.start.dialDraws) || b.start.timeMs < 0 || b.start.customer > 100000 ||
        b.start.dialDraws > 10'000'000 || (b.start.next != (b.start.customer > 0)))
        return std::nullopt;

    if (!parts[2].empty()) {
        for (std::string_view one : split(parts[2], ';')) {
            auto c = readCase(one, b.kept.empty() ? nullptr : &b.kept.back().code, b);
            if (!c) return std::nullopt;
            b.kept.push_back(std::move(*c));
        }
    }
    if (!parts[3].empty()) {
        int64_t before = b.start.timeMs;
        for (std::string_view one : split(parts[3], ' ')) {
            auto e = readEntry(one, before, controls);
            if (!e) return std::nullopt;
            before = e->timeMs;
            b.entries.push_back(std::move(*e));
        }
    }
    return b;
}
