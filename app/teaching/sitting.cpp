#include "app/teaching/sitting.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/teaching/hint.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/review.h"

Sitting::Sitting(Platform& platform, const RecordClock& clock, CaseCode code) : platform_(platform), recorder_(clock) {
    startCode(code);
}

void Sitting::startCode(CaseCode code) {
    // The window refers to the streams: it goes first.
    form_.reset();
    random_ = std::make_unique<CodeRandom>(code);
    form_ = std::make_unique<Form1>(platform_, random_->customerSource(), random_->dialSource());
    form_->Form_Load();
    form_->setObserver(this);
    recorder_.startCode(form_->setting(), code);
    chosen_.reset();
    announcement_.clear();
    hint_.clear();
}

void Sitting::windowEvent(const WindowEvent& event) {
    recorder_.windowEvent(event);
    if (event.kind != WindowEventKind::Nothing) hint_.clear();
    announcement_ = event.kind == WindowEventKind::End ? endAnnouncement(cases().back()) : std::string();
    // A new customer: the review follows the current case again.
    if (chosen_ && cases().size() != casesAtChoice_) chosen_.reset();
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
    const CaseRecord* c = recorder_.current();
    return c && c->status == CaseStatus::Measuring && c->mode != Mode::Test;
}

std::string Sitting::askHint() {
    if (!hintOffered()) return {};
    hint_ = nextHint(*recorder_.current(), expertFor(*recorder_.current())).text;
    recorder_.hintAsked(form_->setting());
    return hint_;
}

bool Sitting::newCodeAbandonsWork() const {
    const CaseRecord* c = recorder_.current();
    return c && c->status == CaseStatus::Measuring && c->steps.size() > 1;
}

Sitting::CodeAnswer Sitting::answerCode(const std::string& text, bool confirmed) const {
    if (!CaseCode::parse(text)) return CodeAnswer::Unreadable;
    if (newCodeAbandonsWork() && !confirmed) return CodeAnswer::AskFirst;
    return CodeAnswer::Start;
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
    return reviewedIndex().value_or(cases().size() - 1);
}

void Sitting::chooseCase(size_t index) {
    if (index < cases().size()) {
        chosen_ = index;
        casesAtChoice_ = cases().size();
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

void Sitting::markSaved() { savedSteps_ = recordedSteps(); }

void Sitting::setTraineeName(std::string_view typed) { name_ = cleanTraineeName(typed); }

std::string Sitting::csv() const { return sittingCsv(cases(), name_); }

std::string Sitting::csvFileName(const CalendarDate& date) const { return ::csvFileName(code(), name_, date); }

SittingRow sittingRow(const CaseRecord& c, int number) {
    const Step& r = c.result();
    SittingRow row;
    row[0] = std::to_string(number);
    row[1] = modeName(c.mode);
    row[2] = c.code.text();
    row[3] = c.reading;
    row[4] = c.hiddenUntilEnd() ? "" : refractionText(r.correction.S, r.correction.C, r.correction.A);
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
    row[8] = std::to_string(c.steps.size() - 1);  // the start is no step of the trainee's
    row[9] = std::to_string(std::max<int64_t>(0, c.durationMs()) / 1000);
    row[10] = isoDateTime(c.started);
    row[11] = statusName(c.status);
    row[12] = name;
    row[13] = c.code.text();
    return row;
}

std::vector<SittingRow> sittingRows(const std::vector<CaseRecord>& cases) {
    std::vector<SittingRow> rows;
    rows.reserve(cases.size());
    for (size_t i = 0; i < cases.size(); ++i) rows.push_back(sittingRow(cases[i], static_cast<int>(i + 1)));
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

std::string sittingCsv(const std::vector<CaseRecord>& cases, const std::string& name) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> header(kSittingColumns.begin(), kSittingColumns.end());
    header.insert(header.end(), kSittingDataColumns.begin(), kSittingDataColumns.end());
    appendFields(out, header, true);
    out += "\r\n";
    for (size_t i = 0; i < cases.size(); ++i) {
        appendFields(out, sittingRow(cases[i], static_cast<int>(i + 1)), true);
        appendFields(out, sittingDataRow(cases[i], name), false);
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
