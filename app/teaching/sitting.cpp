#include "app/teaching/sitting.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/teaching/hint.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/procedure.h"
#include "app/teaching/review.h"

Sitting::Sitting(Platform& platform, const RecordClock& clock, CaseCode code, int64_t startedMs)
    : platform_(platform), clock_(clock) {
    beginAnew(code, "", startedMs);
}

void Sitting::beginAnew(CaseCode code, const std::string& name, int64_t startedMs) {
    form_.reset();
    recorder_ = std::make_unique<Recorder>(clock_);
    savedSteps_ = 0;
    name_ = name;
    journal_ = journalHeader(code, name, startedMs);
    clock_.restartAt(0);
    clock_.setStart(startedMs);
    clock_.hold(0);
    entries_.clear();
    starts_.clear();
    loadCode(code, 0);
    clock_.release();
}

void Sitting::loadCode(CaseCode code, size_t firstEntry) {
    // The window refers to the streams: it goes first.
    form_.reset();
    random_ = std::make_unique<CodeRandom>(code);
    form_ = std::make_unique<Form1>(platform_, random_->customerSource(), random_->dialSource());
    form_->Form_Load();
    form_->setObserver(this);
    recorder_->startCode(form_->setting(), code);
    starts_.push_back({code, 0, false, clock_.nowMs(), 0, cases().size() - 1, firstEntry});
    chosen_.reset();
    announcement_.clear();
    hint_.clear();
    prompt_ = {};
    waiting_.reset();
}

void Sitting::startCode(CaseCode code) {
    JournalEntry e;
    e.kind = JournalEntry::Kind::Code;
    e.timeMs = clock_.nowMs();
    e.code = code;
    clock_.hold(e.timeMs);
    loadCode(code, entries_.size() + 1);
    clock_.release();
    append(e, true);
}

void Sitting::windowEvent(const WindowEvent& event) {
    if (bringing_) {
        recorder_->windowEvent(event);
        return;
    }
    // The record and the journal read the same time for the whole input.
    const bool holding = !clock_.held();
    JournalEntry e;
    e.timeMs = clock_.nowMs();
    if (holding) clock_.hold(e.timeMs);
    recorder_->windowEvent(event);
    if (event.kind != WindowEventKind::Nothing) hint_.clear();
    if (holding) clock_.release();
    announcement_ = event.kind == WindowEventKind::End ? endAnnouncement(cases().back()) : std::string();
    // A new customer: the review follows the current case again.
    if (chosen_ && recorder_->casesBegun() != casesAtChoice_) chosen_.reset();

    if (event.kind == WindowEventKind::NewCustomer)
        starts_.push_back({code(), recorder_->current()->customer, true, e.timeMs, random_->dialDraws(),
                           cases().size() - 1, (replaying_ ? replayIndex_ : entries_.size()) + 1});

    e.kind = JournalEntry::Kind::Input;
    e.control = event.control;
    e.input = event.input;
    e.steps = recordedSteps();
    e.fingerprint = windowFingerprint(*form_);
    if (replaying_) {
        if (e.steps != replaying_->steps || e.fingerprint != replaying_->fingerprint) replayAgrees_ = false;
        return;
    }
    append(e, event.kind == WindowEventKind::End || event.kind == WindowEventKind::NewCustomer);
}

void Sitting::append(const JournalEntry& entry, bool caseEnded) {
    if (replaying_) return;
    const size_t from = journal_.size();
    journal_ += journalLine(entry);
    entries_.push_back(entry);
    if (keeper_) keeper_->keep(journal_.substr(from), caseEnded);
}

bool Sitting::resume(const KeptSitting& kept) {
    beginAnew(kept.code, kept.name, kept.startedMs);
    platform_.quiet = true;
    replayAgrees_ = true;
    for (const JournalEntry& e : kept.entries) {
        replaying_ = &e;
        replayIndex_ = static_cast<size_t>(&e - kept.entries.data());
        clock_.hold(e.timeMs);
        switch (e.kind) {
        case JournalEntry::Kind::Input:
            if (!form_->giveInput(e.control, e.input)) replayAgrees_ = false;
            break;
        case JournalEntry::Kind::Code:
            loadCode(e.code, replayIndex_ + 1);
            break;
        case JournalEntry::Kind::Saved:
            if (e.steps > recordedSteps()) replayAgrees_ = false;
            savedSteps_ = e.steps;
            break;
        case JournalEntry::Kind::Hint:
            if (!hintOffered())
                replayAgrees_ = false;
            else
                recorder_->hintAsked(form_->setting());
            break;
        case JournalEntry::Kind::Name:
            name_ = e.name;
            break;
        }
        clock_.release();
        replaying_ = nullptr;
        if (!replayAgrees_) break;
    }
    platform_.quiet = false;
    clock_.restartAt(kept.lastTimeMs());
    journal_ = journalText(kept);
    entries_ = kept.entries;
    announcement_.clear();
    return replayAgrees_;
}

std::string Sitting::brief(size_t limit) const {
    SittingParts parts;
    parts.startedMs = clock_.startedMs();
    parts.cases = &cases();
    const std::vector<ProcedureFigures> figures = procedureFigures();
    for (size_t i = 0; i < cases().size(); ++i) {
        const CaseRecord& c = cases()[i];
        const ProcedureFigures& f = figures[i];
        parts.tallies.push_back(
            {c.questions(), c.actions(), c.hints(), c.modeChanged(), f.judged, f.checksPassed, f.checksMade});
    }
    parts.starts = &starts_;
    parts.entries = &entries_;
    std::vector<std::string> controls;
    for (const Control* c : form_->controls()) controls.push_back(c->name());
    parts.controls = &controls;
    return sittingBrief(parts, limit);
}

bool Sitting::resumeBrief(std::string_view text) {
    std::vector<std::string> controls;
    for (const Control* c : form_->controls()) controls.push_back(c->name());
    const std::optional<SittingBrief> brief = readBrief(text, controls);
    const CaseCode had = code();
    const int64_t started = clock_.startedMs();
    platform_.quiet = true;
    const bool played = brief && playBrief(*brief);
    platform_.quiet = false;
    bringing_ = false;
    if (clock_.held()) clock_.release();
    if (!played) beginAnew(had, name_, started);
    announcement_.clear();
    hint_.clear();
    return played;
}

bool Sitting::playBrief(const SittingBrief& b) {
    beginAnew(b.start.code, name_, b.startedMs);
    // The window brought to the start's customer as 再測定 brings it: each customer before it
    // ended at once. What the record made of them goes; the brief's cases take their place.
    const UserInput click{InputVerb::Click, 0};
    clock_.hold(b.start.timeMs);
    bringing_ = true;
    for (uint64_t k = 0; k < b.start.customer; ++k)
        if (!form_->giveInput("Command5", click) || !form_->giveInput("STARTbutton", click)) return false;
    bringing_ = false;
    if (random_->customer() != static_cast<int64_t>(b.start.customer) || random_->dialDraws() > b.start.dialDraws)
        return false;
    random_->skipDialDraws(b.start.dialDraws - random_->dialDraws());
    recorder_ = std::make_unique<Recorder>(clock_);
    recorder_->resumeAt(b.kept, form_->setting(), b.start.code, b.start.customer);
    starts_ = {b.start};
    starts_.back().casesBefore = b.kept.size();
    starts_.back().firstEntry = 0;
    clock_.release();

    // The inputs since, each at its own time.
    for (const JournalEntry& e : b.entries) {
        clock_.hold(e.timeMs);
        bool taken = true;
        switch (e.kind) {
        case JournalEntry::Kind::Input:
            taken = form_->giveInput(e.control, e.input);
            break;
        case JournalEntry::Kind::Hint:
            taken = hintOffered();
            askHint();
            break;
        case JournalEntry::Kind::Code:
            startCode(e.code);
            break;
        case JournalEntry::Kind::Saved:
        case JournalEntry::Kind::Name:
            break;
        }
        clock_.release();
        if (!taken) return false;
    }
    clock_.restartAt(b.entries.empty() ? b.start.timeMs : b.entries.back().timeMs);
    return true;
}

const ExpertPlay& Sitting::expertFor(const CaseRecord& c) const {
    const bool sample = c.mode == Mode::Sample;
    const auto key = std::make_tuple(c.code.number(), sample ? 0 : c.customer, sample);
    auto found = experts_.find(key);
    if (found == experts_.end())
        found = experts_.emplace(key, playExpertRecorded(c.code, std::get<1>(key), sample)).first;
    return found->second;
}

bool Sitting::hintOffered() const {
    const CaseRecord* c = recorder_->current();
    return c && c->status == CaseStatus::Measuring && c->mode != Mode::Test;
}

std::string Sitting::askHint() {
    if (!hintOffered()) return {};
    hint_ = nextHint(*recorder_->current(), expertFor(*recorder_->current())).text;
    JournalEntry e;
    e.kind = JournalEntry::Kind::Hint;
    e.timeMs = clock_.nowMs();
    clock_.hold(e.timeMs);
    recorder_->hintAsked(form_->setting());
    clock_.release();
    append(e, false);
    return hint_;
}

bool Sitting::newCodeAbandonsWork() const {
    const CaseRecord* c = recorder_->current();
    return c && c->status == CaseStatus::Measuring && c->steps.size() > 1;
}

Sitting::CodeAnswer Sitting::answerCode(const std::string& text, bool confirmed) const {
    if (!CaseCode::parse(text)) return CodeAnswer::Unreadable;
    if (newCodeAbandonsWork() && !confirmed) return CodeAnswer::AskFirst;
    return CodeAnswer::Start;
}

std::optional<CaseCode> Sitting::offerCode(const std::string& text) {
    prompt_ = {};
    waiting_.reset();
    switch (answerCode(text, false)) {
    case CodeAnswer::Unreadable:
        prompt_.message = kBadCaseCodeMessage;
        return std::nullopt;
    case CodeAnswer::AskFirst:
        prompt_.question = panel_text::kAbandonQuestion;
        waiting_ = CaseCode::parse(text);
        return std::nullopt;
    case CodeAnswer::Start:
        break;
    }
    return CaseCode::parse(text);
}

std::optional<CaseCode> Sitting::answerAbandon(bool yes) {
    std::optional<CaseCode> code = yes ? waiting_ : std::nullopt;
    prompt_ = {};
    waiting_.reset();
    return code;
}

std::optional<size_t> Sitting::reviewedIndex() const {
    if (cases().empty()) return std::nullopt;
    const size_t index = chosen_.value_or(cases().size() - 1);
    if (!reviewShown(cases()[index])) return std::nullopt;
    return index;
}

const CaseRecord* Sitting::reviewed() const {
    const auto index = reviewedIndex();
    return index ? &cases()[*index] : nullptr;
}

std::optional<size_t> Sitting::currentRow() const {
    if (cases().empty()) return std::nullopt;
    if (chosen_ && cases()[*chosen_].tally) return chosen_;
    return reviewedIndex().value_or(cases().size() - 1);
}

const char* Sitting::reviewAbsence() const {
    const bool kept = chosen_ && *chosen_ < cases().size() && cases()[*chosen_].tally;
    return kept ? panel_text::kReviewNotKept : panel_text::kReviewHidden;
}

void Sitting::chooseCase(size_t index) {
    if (index < cases().size()) {
        chosen_ = index;
        casesAtChoice_ = recorder_->casesBegun();
    } else {
        chosen_.reset();
    }
}

size_t Sitting::recordedSteps() const {
    size_t n = 0;
    for (const CaseRecord& c : cases()) n += c.steps.size() - 1;  // the start is no step of the trainee's
    return n;
}

bool Sitting::unsaved() const { return recordedSteps() != savedSteps_; }

void Sitting::markSaved() {
    savedSteps_ = recordedSteps();
    JournalEntry e;
    e.kind = JournalEntry::Kind::Saved;
    e.timeMs = clock_.nowMs();
    e.steps = savedSteps_;
    append(e, false);
}

void Sitting::setTraineeName(std::string_view typed) {
    std::string name = cleanTraineeName(typed);
    if (name == name_) return;
    name_ = std::move(name);
    JournalEntry e;
    e.kind = JournalEntry::Kind::Name;
    e.timeMs = clock_.nowMs();
    e.name = name_;
    append(e, false);
}

std::vector<ProcedureFigures> Sitting::procedureFigures() const {
    std::vector<ProcedureFigures> figures;
    figures.reserve(cases().size());
    for (const CaseRecord& c : cases())
        figures.push_back(::procedureFigures(c, c.status == CaseStatus::Ended ? &expertFor(c).record : nullptr));
    return figures;
}

std::string Sitting::csv() const { return sittingCsv(cases(), name_, procedureFigures()); }

std::string Sitting::csvFileName(const CalendarDate& date) const { return ::csvFileName(code(), name_, date); }

SittingRow sittingRow(const CaseRecord& c) {
    const Step& r = c.result();
    SittingRow row;
    row[0] = std::to_string(c.customer + 1);
    row[1] = modeName(c.mode);
    row[2] = c.code.text();
    row[3] = c.reading;
    row[4] = c.correctionHidden() ? "" : refractionText(r.correction.S, r.correction.C, r.correction.A);
    switch (c.status) {
    case CaseStatus::Ended:
        row[5] = lensText(r);
        row[6] = dosuuHyouki(r.residual.zanyo.S, r.residual.zanyo.C, r.residual.zanyo.A);
        row[7] = std::to_string(r.residual.score) + " 点";
        break;
    case CaseStatus::Measuring:
        row[5] = kMeasuring;
        row[7] = kMeasuring;
        break;
    case CaseStatus::Abandoned:
        row[5] = kAbandoned;
        row[7] = kAbandoned;
        break;
    }
    row[8] = std::to_string(c.questions());
    row[9] = durationText(c.durationMs());
    return row;
}

std::string plainDioptre(double d) {
    std::string text = format00(d);
    if (text == "-0.00") text.erase(0, 1);
    return text;
}

namespace {

std::string plainAxis(double a) { return shortestDecimal(a == 0 ? 180 : a); }

const char* statusName(CaseStatus status) {
    switch (status) {
    case CaseStatus::Ended:
        return "ended";
    case CaseStatus::Measuring:
        return "measuring";
    case CaseStatus::Abandoned:
        return "abandoned";
    }
    return "";
}

}  // namespace

SittingDataRow sittingDataRow(const CaseRecord& c, const std::string& name) {
    const Step& r = c.result();
    SittingDataRow row;
    if (!c.hiddenUntilEnd()) {
        row[0] = plainDioptre(r.correction.S);
        row[1] = plainDioptre(r.correction.C);
        row[2] = plainAxis(r.correction.A);
    }
    if (c.status == CaseStatus::Ended) {
        row[3] = plainDioptre(r.lens.S);
        row[4] = plainDioptre(r.lens.C);
        row[5] = plainAxis(r.lens.A);
        row[6] = std::to_string(r.residual.score);
    }
    row[7] = std::to_string(c.questions());
    row[8] = std::to_string(c.actions() + c.hints());
    row[9] = std::to_string(std::max<int64_t>(0, c.durationMs()) / 1000);
    row[10] = isoDateTime(c.started);
    row[11] = statusName(c.status);
    row[12] = name;
    row[13] = c.code.text();
    return row;
}

ProcedureFigures procedureFigures(const CaseRecord& c, const CaseRecord* expert) {
    ProcedureFigures f;
    f.hints = c.hints();
    if (c.status != CaseStatus::Ended || !expert) return f;
    if (c.tally) {
        f.judged = c.tally->judged;
        f.expertQuestions = expert->questions();
        f.checksPassed = c.tally->checksPassed;
        f.checksMade = c.tally->checksMade;
        return f;
    }
    f.judged = true;
    f.expertQuestions = expert->questions();
    for (const ProcedureCheck& check : procedureReview(c, *expert)) {
        ++f.checksMade;
        if (check.good) ++f.checksPassed;
    }
    return f;
}

ProcedureDataRow procedureDataRow(const ProcedureFigures& f) {
    ProcedureDataRow row;
    if (f.judged) {
        row[0] = std::to_string(f.expertQuestions);
        row[1] = std::to_string(f.checksPassed);
        row[2] = std::to_string(f.checksMade);
    }
    row[3] = std::to_string(f.hints);
    return row;
}

ProcedureRow procedureRow(const CaseRecord& c, const ProcedureFigures& f) {
    const ProcedureDataRow data = procedureDataRow(f);
    return {sittingRow(c)[0], std::to_string(c.questions()), data[0], data[1], data[2], data[3]};
}

std::vector<std::string> cellParts(std::string_view cell) {
    const auto asciiAlnum = [](char ch) {
        return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    };
    std::vector<std::string> parts;
    bool hyphenBroken = false;
    size_t start = 0;
    for (size_t i = 0; i < cell.size(); ++i) {
        const std::string_view rest = cell.substr(i);
        size_t breakAt = std::string_view::npos;
        if (cell[i] == ' ') {
            // Not inside a part: "Ｓ 0.00Ｄ", "中間軸 180°", "球面 -1.25Ｄ" stay whole.
            const char next = rest.size() > 1 ? rest[1] : ' ';
            if (!(next >= '0' && next <= '9') && next != '+' && next != '-') breakAt = i + 1;
        } else if (rest.starts_with("モード") && i > 0) {
            breakAt = i;
        } else if (rest.starts_with("分") && i > 0) {
            breakAt = i + std::string_view("分").size();
        } else if (cell[i] == '-' && !hyphenBroken && i > 0 && asciiAlnum(cell[i - 1]) && rest.size() > 2 &&
                   asciiAlnum(rest[1]) && asciiAlnum(rest[2])) {
            // A case code "XXXX-XXXX-C": its first hyphen only, so that its check letter stays.
            hyphenBroken = true;
            breakAt = i + 1;
        }
        if (breakAt == std::string_view::npos || breakAt <= start || breakAt >= cell.size()) continue;
        parts.emplace_back(cell.substr(start, breakAt - start));
        start = breakAt;
    }
    parts.emplace_back(cell.substr(start));
    return parts;
}

std::string withLineBreaks(std::string_view cell) {
    std::string out;
    for (const std::string& part : cellParts(cell)) {
        if (!out.empty() && out.back() != ' ') out += kLineBreakMark;
        // A space inside a part holds it together, and so does a word joiner after a hyphen inside
        // one (pages would break a code's "-C" there) and before a sign after a full-width letter
        // (they would break "Ｓ+5.25Ｄ" before its "+").
        for (size_t i = 0; i < part.size(); ++i) {
            if (part[i] == ' ' && i + 1 < part.size()) {
                out += kNoBreakSpace;
            } else {
                if ((part[i] == '+' || part[i] == '-') && i > 0 && static_cast<unsigned char>(part[i - 1]) >= 0x80)
                    out += kWordJoiner;
                out += part[i];
                if (part[i] == '-' && i + 1 < part.size()) out += kWordJoiner;
            }
        }
    }
    return out;
}

namespace {

// The code point of the UTF-8 sequence at `text[i]`, and its length.
std::pair<char32_t, size_t> codePointAt(std::string_view text, size_t i) {
    const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[i + k])); };
    const char32_t lead = b(0);
    if (lead < 0x80 || i + 1 >= text.size()) return {lead, 1};
    if (lead < 0xE0) return {((lead & 0x1F) << 6) | (b(1) & 0x3F), 2};
    if (lead < 0xF0 || i + 3 >= text.size())
        return {i + 2 < text.size() ? ((lead & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F) : lead, 3};
    return {((lead & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F), 4};
}

// Letters, digits and the signs between them, ASCII or full-width: a run of them stays whole.
bool inWord(char32_t c) { return (c >= 0x21 && c < 0x7F) || (c >= 0xFF01 && c <= 0xFF5E) || c == U'°'; }

}  // namespace

std::string sentenceLineBreaks(std::string_view sentence) {
    // Never at the start of a line, and never at the end of one.
    static constexpr std::u32string_view kNoBreakBefore =
        U"、。，．？！）」』〕ー・：ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮ～";
    static constexpr std::u32string_view kNoBreakAfter = U"（「『〔";
    std::string out;
    char32_t previous = 0;
    for (size_t i = 0; i < sentence.size();) {
        const auto [c, length] = codePointAt(sentence, i);
        const bool mayBreak = previous != 0 && previous != U' ' && c != U' ' && !(inWord(previous) && inWord(c)) &&
                              kNoBreakBefore.find(c) == std::u32string_view::npos &&
                              kNoBreakAfter.find(previous) == std::u32string_view::npos;
        if (mayBreak) out += kLineBreakMark;
        out += sentence.substr(i, length);
        previous = c;
        i += length;
    }
    return out;
}

std::vector<SittingRow> sittingRows(const std::vector<CaseRecord>& cases) {
    std::vector<SittingRow> rows;
    rows.reserve(cases.size());
    for (const CaseRecord& c : cases) rows.push_back(sittingRow(c));
    return rows;
}

std::optional<ScoreSummary> scoreSummary(const std::vector<CaseRecord>& cases) {
    ScoreSummary s;
    long total = 0;
    for (const CaseRecord& c : cases) {
        if (c.status != CaseStatus::Ended) continue;
        const int score = c.result().residual.score;
        total += score;
        s.best = s.ended == 0 ? score : std::max(s.best, score);
        ++s.ended;
    }
    if (s.ended == 0) return std::nullopt;
    s.average = static_cast<double>(total) / s.ended;
    return s;
}

std::string scoreSummaryText(const std::vector<CaseRecord>& cases) {
    const auto s = scoreSummary(cases);
    if (!s) return "";
    return "平均 " + shortestDecimal(s->average) + " 点　最高 " + std::to_string(s->best) + " 点";
}

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (char ch : field) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + '"';
}

namespace {

// The fields, each after a comma but the first of a line.
template <class Fields>
void appendFields(std::string& out, const Fields& fields, bool lineStart) {
    for (const auto& f : fields) {
        if (!lineStart) out += ',';
        lineStart = false;
        out += csvField(f);
    }
}

// The length of the UTF-8 sequence that `lead` begins.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::string sittingCsv(const std::vector<CaseRecord>& cases, const std::string& name,
                       const std::vector<ProcedureFigures>& figures) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> header(kSittingColumns.begin(), kSittingColumns.end());
    header.insert(header.end(), kSittingDataColumns.begin(), kSittingDataColumns.end());
    header.insert(header.end(), kProcedureDataColumns.begin(), kProcedureDataColumns.end());
    appendFields(out, header, true);
    out += "\r\n";
    for (size_t i = 0; i < cases.size(); ++i) {
        appendFields(out, sittingRow(cases[i]), true);
        appendFields(out, sittingDataRow(cases[i], name), false);
        appendFields(out, procedureDataRow(i < figures.size() ? figures[i] : procedureFigures(cases[i], nullptr)),
                     false);
        out += "\r\n";
    }
    return out;
}

std::string cleanTraineeName(std::string_view typed) {
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < typed.size() && characters < kTraineeNameLength;) {
        const auto lead = static_cast<unsigned char>(typed[i]);
        const size_t n = std::min(sequenceLength(lead), typed.size() - i);
        const std::string_view ch = typed.substr(i, n);
        i += n;
        const bool control =
            lead < 0x20 || lead == 0x7F || (n == 2 && lead == 0xC2 && static_cast<unsigned char>(ch[1]) < 0xA0);
        if (control) continue;
        if (out.empty() && (ch == " " || ch == "\u3000")) continue;
        out += ch;
        ++characters;
    }
    while (out.ends_with(' ') || out.ends_with("\u3000")) out.erase(out.size() - (out.back() == ' ' ? 1 : 3));
    return out;
}

CalendarDate localToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string dateText(const CalendarDate& date) {
    char day[32];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", date.year, date.month, date.day);
    return day;
}

std::string csvFileName(const CaseCode& code, const std::string& name, const CalendarDate& date) {
    std::string codeText = code.text();
    std::replace(codeText.begin(), codeText.end(), '*', '_');
    std::string safeName = name;
    for (char& ch : safeName) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) ch = '_';
    }
    return "記録_" + codeText + "_" + (safeName.empty() ? "" : safeName + "_") + dateText(date) + ".csv";
}

std::string recordHeading(const std::string& name, const CaseCode& code, const CalendarDate& date) {
    std::string text;
    if (!name.empty()) text = std::string(panel_text::kTraineeName) + " " + name + "　";
    return text + panel_text::kCaseCode + " " + code.text() + "　" + dateText(date);
}

std::string pageNumberText(int page, int pages) { return std::to_string(page) + " / " + std::to_string(pages); }
