#include "app/teaching/sitting.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

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
    prompt_ = {};
    waiting_.reset();
}

void Sitting::windowEvent(const WindowEvent& event) {
    recorder_.windowEvent(event);
    announcement_ = event.kind == WindowEventKind::End ? endAnnouncement(cases().back()) : std::string();
    // A new customer: the review follows the current case again.
    if (chosen_ && recorder_.casesBegun() != casesAtChoice_) chosen_.reset();
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
    return reviewedIndex().value_or(cases().size() - 1);
}

void Sitting::chooseCase(size_t index) {
    if (index < cases().size()) {
        chosen_ = index;
        casesAtChoice_ = recorder_.casesBegun();
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

template <class Fields>
void appendLine(std::string& out, const Fields& fields) {
    bool first = true;
    for (const auto& f : fields) {
        if (!first) out += ',';
        first = false;
        out += csvField(f);
    }
    out += "\r\n";
}

}  // namespace

std::string sittingCsv(const std::vector<CaseRecord>& cases) {
    std::string out = "\xEF\xBB\xBF";
    std::array<std::string, kSittingColumns.size()> header;
    for (size_t i = 0; i < header.size(); ++i) header[i] = kSittingColumns[i];
    appendLine(out, header);
    for (const SittingRow& row : sittingRows(cases)) appendLine(out, row);
    return out;
}

CalendarDate localToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string csvFileName(const CaseCode& code, const CalendarDate& date) {
    const std::string d = code.digits();
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", date.year, date.month, date.day);
    return "記録_" + d.substr(0, 4) + "-" + d.substr(4) + "_" + day + ".csv";
}
