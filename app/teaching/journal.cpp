#include "app/teaching/journal.h"

#include <charconv>

#include "app/form1/form1.h"
#include "app/teaching/panel_texts.h"

namespace {

constexpr std::string_view kMagic = "refraction-trainer sitting ";
constexpr std::string_view kVerbLetters = "csatr";  // in the order of InputVerb

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at <= line.size()) {
        const size_t end = std::min(line.find(' ', at), line.size());
        out.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

template <class Int>
bool number(std::string_view text, Int& out, int base = 10) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return error == std::errc() && end == text.data() + text.size();
}

std::optional<CaseCode> codeWord(std::string_view text) {
    auto code = CaseCode::parse(text);
    if (!code || code->text() != text) return std::nullopt;
    return code;
}

std::optional<JournalEntry> entryOf(std::string_view line) {
    const auto w = words(line);
    JournalEntry e;
    if (w.size() < 2 || !number(w[1], e.timeMs) || e.timeMs < 0) return std::nullopt;
    if (w[0] == "i" && w.size() == 7) {
        e.kind = JournalEntry::Kind::Input;
        e.control = std::string(w[2]);
        const size_t verb = w[3].size() == 1 ? kVerbLetters.find(w[3][0]) : std::string_view::npos;
        if (verb == std::string_view::npos || e.control.empty()) return std::nullopt;
        e.input.verb = static_cast<InputVerb>(verb);
        if (!number(w[4], e.input.value) || !number(w[5], e.steps) || w[6].size() != 16 ||
            !number(w[6], e.fingerprint, 16))
            return std::nullopt;
        return e;
    }
    if (w[0] == "c" && w.size() == 3) {
        e.kind = JournalEntry::Kind::Code;
        const auto code = codeWord(w[2]);
        if (!code) return std::nullopt;
        e.code = *code;
        return e;
    }
    if (w[0] == "h" && w.size() == 2) {
        e.kind = JournalEntry::Kind::Hint;
        return e;
    }
    if (w[0] == "n" && (w.size() == 2 || w.size() == 3)) {
        e.kind = JournalEntry::Kind::Name;
        if (w.size() == 3) {
            auto name = percentDecoded(w[2]);
            if (!name) return std::nullopt;
            e.name = *name;
        }
        return e;
    }
    if (w[0] == "s" && w.size() == 3) {
        e.kind = JournalEntry::Kind::Saved;
        if (!number(w[2], e.steps)) return std::nullopt;
        return e;
    }
    return std::nullopt;
}

// FNV-1a, 64 bits.
struct Digest {
    uint64_t h = 0xCBF29CE484222325ULL;
    void bytes(const void* data, size_t n) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ULL;
    }
    template <class T>
    void value(const T& v) {
        bytes(&v, sizeof v);
    }
    void text(const std::string& s) {
        value(s.size());
        bytes(s.data(), s.size());
    }
};

}  // namespace

size_t KeptSitting::steps() const {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->kind == JournalEntry::Kind::Input) return it->steps;
    return 0;
}

size_t KeptSitting::savedSteps() const {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->kind == JournalEntry::Kind::Saved) return it->steps;
    return 0;
}

int64_t KeptSitting::lastTimeMs() const { return entries.empty() ? 0 : entries.back().timeMs; }

std::string percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b > ' ' && b < 0x7F && b != '%') {
            out += ch;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (static_cast<unsigned char>(text[i]) <= ' ') return std::nullopt;
            out += text[i];
            continue;
        }
        unsigned byte = 0;
        if (i + 2 >= text.size() || !number(text.substr(i + 1, 2), byte, 16)) return std::nullopt;
        out += static_cast<char>(byte);
        i += 2;
    }
    return out;
}

std::string journalHeader(const CaseCode& code, const std::string& name, int64_t startedMs) {
    return std::string(kMagic) + std::to_string(kJournalVersion) + "\ncode " + code.text() + "\nname " +
           percentEncoded(name) + "\nstarted " + std::to_string(startedMs) + "\n";
}

std::string journalLine(const JournalEntry& e) {
    std::string line;
    line.reserve(64);
    switch (e.kind) {
    case JournalEntry::Kind::Input: {
        char hex[17];
        const auto end = std::to_chars(hex, hex + 16, e.fingerprint, 16).ptr;
        const std::string digits(hex, end);
        line = "i " + std::to_string(e.timeMs) + ' ' + e.control + ' ' + kVerbLetters[static_cast<int>(e.input.verb)] +
               ' ' + std::to_string(e.input.value) + ' ' + std::to_string(e.steps) + ' ' +
               std::string(16 - digits.size(), '0') + digits;
        break;
    }
    case JournalEntry::Kind::Code:
        line = "c " + std::to_string(e.timeMs) + ' ' + e.code.text();
        break;
    case JournalEntry::Kind::Saved:
        line = "s " + std::to_string(e.timeMs) + ' ' + std::to_string(e.steps);
        break;
    case JournalEntry::Kind::Hint:
        line = "h " + std::to_string(e.timeMs);
        break;
    case JournalEntry::Kind::Name:
        line = "n " + std::to_string(e.timeMs) + (e.name.empty() ? "" : " " + percentEncoded(e.name));
        break;
    }
    return line + '\n';
}

std::string journalText(const KeptSitting& s) {
    std::string out = journalHeader(s.code, s.name, s.startedMs);
    for (const JournalEntry& e : s.entries) out += journalLine(e);
    return out;
}

JournalRead readJournal(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string_view::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    const bool partial = at != text.size();
    const std::string_view first = lines.empty() ? text.substr(at) : lines[0];

    // The version is judged first: a later program's journal may read as anything.
    if (first.starts_with(kMagic)) {
        int version = 0;
        const std::string_view v = first.substr(kMagic.size());
        if (number(v, version) && version > kJournalVersion && (!lines.empty() || !partial))
            return {std::nullopt, JournalProblem::Newer};
    } else if (!std::string_view(kMagic).starts_with(first) || !lines.empty()) {
        return {std::nullopt, JournalProblem::Corrupt};
    }
    if (lines.size() < 4) return {std::nullopt, JournalProblem::Truncated};
    if (lines[0] != std::string(kMagic) + std::to_string(kJournalVersion))
        return {std::nullopt, JournalProblem::Corrupt};

    KeptSitting s;
    const auto field = [&lines](size_t i, std::string_view key) -> std::optional<std::string_view> {
        const std::string_view l = lines[i];
        if (l.size() < key.size() + 1 || !l.starts_with(key) || l[key.size()] != ' ') return std::nullopt;
        return l.substr(key.size() + 1);
    };
    const auto code = field(1, "code");
    const auto name = field(2, "name");
    const auto started = field(3, "started");
    std::optional<CaseCode> parsedCode = code ? codeWord(*code) : std::nullopt;
    std::optional<std::string> decodedName = name ? percentDecoded(*name) : std::nullopt;
    if (!parsedCode || !decodedName || !started || !number(*started, s.startedMs))
        return {std::nullopt, JournalProblem::Corrupt};
    s.code = *parsedCode;
    s.name = *decodedName;
    s.entries.reserve(lines.size() - 4);
    int64_t time = 0;
    for (size_t i = 4; i < lines.size(); ++i) {
        auto e = entryOf(lines[i]);
        if (!e || e->timeMs < time) return {std::nullopt, JournalProblem::Corrupt};
        time = e->timeMs;
        s.entries.push_back(std::move(*e));
    }
    if (partial) return {std::nullopt, JournalProblem::Truncated};
    return {std::move(s), JournalProblem::None};
}

JournalRead readKept(std::string_view journal, std::string_view snapshot) {
    if (snapshot.empty()) return readJournal(journal);
    JournalRead fromJournal = readJournal(journal);
    if (fromJournal.problem == JournalProblem::Newer) return fromJournal;
    if (journal.starts_with(snapshot)) return fromJournal;
    // The journal stops short of what the snapshot vouches for: the snapshot has it all.
    if (snapshot.starts_with(journal)) return readJournal(snapshot);
    if (fromJournal.problem != JournalProblem::None) return fromJournal;
    return {std::nullopt, JournalProblem::Corrupt};
}

uint64_t windowFingerprint(const Form1& f) {
    Digest d;
    for (const Control* c : f.controls()) {
        d.text(c->name());
        d.value(c->visible);
        d.value(c->enabled);
        d.value(c->left);
        d.value(c->top);
        d.value(c->width);
        d.value(c->height);
        if (const std::string* caption = captionOf(*c)) d.text(*caption);
        switch (c->kind()) {
        case Kind::Option:
            d.value(static_cast<const OptionButton*>(c)->selected());
            break;
        case Kind::HScroll:
            d.value(static_cast<const HScrollBar*>(c)->value());
            break;
        case Kind::Line: {
            const auto* l = static_cast<const Line*>(c);
            d.value(l->x1);
            d.value(l->y1);
            d.value(l->x2);
            d.value(l->y2);
            break;
        }
        case Kind::Circle: {
            const auto* ci = static_cast<const Circle*>(c);
            d.value(ci->fillStyle);
            d.value(ci->hasBorder);
            d.value(ci->fillColour.has_value());
            if (ci->fillColour) {
                d.value(ci->fillColour->r);
                d.value(ci->fillColour->g);
                d.value(ci->fillColour->b);
            }
            break;
        }
        default:
            break;
        }
    }
    for (const float v : {f.seikaiS, f.seikaiC, f.seikaiA}) d.value(v);
    for (const double v : {f.foroS, f.foroC, f.zanyoS, f.zanyoC, f.zanyoA, f.zanyoTan, f.zuX1, f.zuY1, f.zuX2, f.zuY2})
        d.value(v);
    for (const int16_t v : {f.foroA, f.ccJiku, f.akaJiku, f.shiroJiku}) d.value(v);
    return d.h;
}

std::vector<std::string> sittingsToRemove(const std::vector<KeptFile>& newestFirst) {
    std::vector<std::string> out;
    size_t saved = 0;
    for (const KeptFile& f : newestFirst)
        if (!f.unsaved && !f.inUse && ++saved > kSavedSittingsKept) out.insert(out.begin(), f.name);
    return out;
}

KeptReview reviewKept(const std::vector<KeptCandidate>& newestFirst, bool offer) {
    KeptReview out;
    std::vector<KeptFile> found;
    bool newest = true;
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const KeptCandidate& c = newestFirst[i];
        const std::string name = std::to_string(i);
        if (c.inUse) {
            found.push_back({name, false, true});
            continue;
        }
        JournalRead read = readKept(c.journal, c.snapshot);
        if (!read.sitting) {
            out.setAside.emplace_back(i, read.problem);
            continue;
        }
        if (read.sitting->entries.empty()) {
            out.untouched.push_back(i);
            continue;
        }
        const bool unsaved = read.sitting->unsaved();
        if (newest && offer && unsaved) {
            out.offered = i;
            out.offeredSitting = std::move(read.sitting);
        }
        newest = false;
        found.push_back({name, unsaved, false});
    }
    for (const std::string& name : sittingsToRemove(found)) out.removed.push_back(std::stoul(name));
    return out;
}

std::string setAsideMessage(JournalProblem problem, const std::string& keptAs) {
    const char* reason = panel_text::kSetAsideMismatch;
    switch (problem) {
    case JournalProblem::Truncated:
        reason = panel_text::kSetAsideTruncated;
        break;
    case JournalProblem::Corrupt:
        reason = panel_text::kSetAsideCorrupt;
        break;
    case JournalProblem::Newer:
        reason = panel_text::kSetAsideNewer;
        break;
    case JournalProblem::None:
        break;
    }
    return std::string(panel_text::kSetAsideHead) + reason + panel_text::kSetAsideTail + keptAs;
}

std::string prunedMessage(size_t count) {
    return std::string(panel_text::kPrunedHead) + " " + std::to_string(count) + " " + panel_text::kPrunedTail;
}
