#include "app/web/page_sitting.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/teaching/panel_texts.h"
#include "app/teaching/procedure.h"
#include "app/teaching/review.h"
#include "app/web/json.h"
#include "app/web/lms.h"
#include "app/window/accessibility.h"

RecordingPlatform::Effects RecordingPlatform::take() {
    Effects taken = std::move(pending_);
    pending_ = Effects{};
    return taken;
}

namespace {

// Seed 0: a fresh code from the clock, as the desktop program takes one without --case.
CaseCode codeOf(uint64_t seed) { return seed == 0 ? CaseCode::fromClock() : CaseCode(seed); }

// Plot coordinates and scale values: six significant digits are finer than any screen's pixels.
std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

// `cell` turns each text into what the page shows.
template <class Row>
std::string rowsJson(const std::vector<Row>& rows, std::string (*cell)(std::string_view) = nullptr) {
    std::string out = "[";
    for (size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",[" : "[";
        for (size_t i = 0; i < rows[r].size(); ++i)
            out += (i ? "," : "") + jsonString(cell ? cell(rows[r][i]) : rows[r][i]);
        out += ']';
    }
    return out + ']';
}

template <size_t N>
std::vector<std::string> listOf(const std::array<const char*, N>& texts) {
    return std::vector<std::string>(texts.begin(), texts.end());
}

std::string pointsJson(const std::vector<PlotPoint>& points) {
    std::string out = "[";
    for (size_t i = 0; i < points.size(); ++i) out += (i ? "," : "") + number(points[i].x) + "," + number(points[i].y);
    return out + ']';
}

std::string colourJson(const PlotColour& c) {
    return "\"rgb(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")\"";
}

// A stroke as SVG takes it: stroke, stroke-width and stroke-dasharray ("" for solid).
void penJson(JsonObject& o, const PlotPen& pen) {
    o.key("stroke") += colourJson(pen.colour);
    o.key("width") += number(pen.width);
    std::string dashes;
    for (double d : pen.dashes) dashes += (dashes.empty() ? "" : " ") + number(d);
    o.str("dash", dashes);
}

// A JSON list of `items`, each an object written by `write`.
template <class T, class Write>
void listJson(std::string& out, const std::vector<T>& items, Write write) {
    out += '[';
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        JsonObject o(out);
        write(o, items[i]);
    }
    out += ']';
}

}  // namespace

PageSitting::PageSitting(uint64_t seed, const std::string& caseText)
    : message_(caseText.empty() || CaseCode::parse(caseText) ? "" : kBadCaseCodeMessage),
      sitting_(platform_, clock_, CaseCode::parse(caseText).value_or(codeOf(seed)), clock_.wallNow().epochMs),
      viewKey_(customerViewKey(sitting_.form())) {}

std::string PageSitting::state() { return stateJson(sitting_.form(), platform_.take()); }

template <class T>
T* PageSitting::find(const std::string& name, Kind kind) const {
    Control* c = const_cast<Form1&>(sitting_.form()).find(name);
    return c && c->kind() == kind ? static_cast<T*>(c) : nullptr;
}

std::string PageSitting::afterAction() {
    const CustomerViewKey key = customerViewKey(sitting_.form());
    if (!(key == viewKey_)) {
        viewKey_ = key;
        ++viewVersion_;
    }
    return state();
}

std::string PageSitting::click(const std::string& name) {
    if (auto* b = find<CommandButton>(name, Kind::Button)) b->userClick();
    return afterAction();
}

std::string PageSitting::select(const std::string& name) {
    if (auto* o = find<OptionButton>(name, Kind::Option)) o->userSelect();
    return afterAction();
}

std::string PageSitting::arrow(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userArrow(direction);
    return afterAction();
}

std::string PageSitting::track(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userTrack(direction);
    return afterAction();
}

std::string PageSitting::release(const std::string& name, int value) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userRelease(value);
    return afterAction();
}

std::string PageSitting::focusAfter(const std::string& focused) const {
    const Form1& form = sitting_.form();
    const Control* to = focusAfterAction(form, form.find(focused));
    return to ? to->name() : std::string();
}

std::string PageSitting::panelTexts() {
    namespace t = panel_text;
    static constexpr std::pair<const char*, const char*> kTexts[] = {
        {"panel", t::kPanel},
        {"open", t::kOpen},
        {"close", t::kClose},
        {"traineeName", t::kTraineeName},
        {"caseCode", t::kCaseCode},
        {"caseCodeInput", t::kCaseCodeInput},
        {"caseCodeStart", t::kCaseCodeStart},
        {"badCaseCode", kBadCaseCodeMessage},
        {"abandonQuestion", t::kAbandonQuestion},
        {"yes", t::kYes},
        {"no", t::kNo},
        {"review", t::kReview},
        {"reviewSteps", t::kReviewSteps},
        {"reviewHidden", t::kReviewHidden},
        {"sitting", t::kSitting},
        {"saveCsv", t::kSaveCsv},
        {"printRecord", t::kPrintRecord},
        {"procedureFigures", t::kProcedureFigures},
        {"saved", t::kSaved},
        {"saveFailed", t::kSaveFailed},
        {"unsavedNote", t::kUnsavedNote},
        {"resumeOffer", t::kResumeOffer},
        {"resumeSitting", t::kResumeSitting},
        {"startAnew", t::kStartAnew},
        {"deleteKept", t::kDeleteKept},
        {"deleteKeptQuestion", t::kDeleteKeptQuestion},
        {"keptDeleted", t::kKeptDeleted},
        {"storageUnwritable", t::kStorageUnwritable},
        {"customerView", t::kCustomerView},
        {"front", t::kFront},
        {"back", t::kBack},
        {"hint", t::kHint},
        {"procedureReview", t::kProcedureReview},
        {"expertSteps", t::kExpertSteps},
        {"expertSummary", t::kExpertSummary},
        {"stepNumber", t::kStepNumber},
        {"good", kGood},
        {"caution", kCaution},
    };
    std::string out;
    {
        JsonObject o(out);
        for (const auto& [key, text] : kTexts) o.str(key, text);
        o.strings("sittingColumns", listOf(kSittingColumns));
        o.strings("procedureColumns", listOf(kProcedureColumns));
        o.strings("reviewColumns", listOf(kReviewColumns));
        o.strings("expertColumns", listOf(kExpertColumns));
        o.strings("expertSummaryColumns", listOf(kExpertSummaryColumns));
    }
    return out;
}

std::string PageSitting::panel(const std::string& shownCase, int shownRows) const {
    std::string out;
    {
        JsonObject o(out);
        o.str("code", std::string(panel_text::kCaseCode) + " " + sitting_.code().text());
        o.str("message", message_.empty() ? sitting_.codePrompt().message : message_);
        o.str("question", sitting_.codePrompt().question);
        o.str("name", sitting_.traineeName());
        o.str("heading", recordHeading(sitting_.traineeName(), sitting_.code(), localToday()));
        // The tables' cells marked where they may break onto another line in a narrow panel.
        o.key("rows") += rowsJson(sittingRows(sitting_.cases()), withLineBreaks);
        o.str("summary", scoreSummaryText(sitting_.cases()));
        o.boolean("unsaved", sitting_.unsaved());
        // Kept in the browser's storage, the record outlives the page; else it goes with it.
        o.str("note", keptByLms_ ? panel_text::kLmsKeptNote
                      : keeping_ ? panel_text::kKeptNote
                                 : panel_text::kUnsavedNote);
        o.str("reviewNote", sitting_.reviewAbsence());
        if (const auto row = sitting_.currentRow())
            o.integer("current", static_cast<long long>(*row));
        else
            o.null("current");
        if (const CaseRecord* c = sitting_.reviewed()) {
            std::string& review = o.key("review");
            JsonObject r(review);
            // A case's steps are only ever added: the rows the view has stay true.
            const std::string name =
                std::to_string(*sitting_.reviewedIndex()) + " " + c->code.text() + " " + std::to_string(c->customer);
            const bool same = shownCase == name && shownRows >= 0 && static_cast<size_t>(shownRows) <= c->steps.size();
            const size_t from = same ? static_cast<size_t>(shownRows) : 0;
            r.str("case", name);
            r.integer("from", static_cast<long long>(from));
            r.key("rows") += rowsJson(reviewTable(*c, from), withLineBreaks);
            std::vector<std::array<std::string, 2>> summary;
            for (const auto& [heading, text] : reviewSummary(*c)) summary.push_back({heading, text});
            r.key("summary") += rowsJson(summary);
            r.str("plotText", reviewPlotText(*c, from));
            // After the end: the checks of the procedure and the expert for the same customer.
            if (c->status == CaseStatus::Ended) {
                const ExpertPlay& expert = sitting_.expertFor(*c);
                listJson(r.key("checks"), procedureReview(*c, expert.record),
                         [](JsonObject& j, const ProcedureCheck& k) {
                             j.str("name", k.name);
                             j.boolean("good", k.good);
                             j.str("verdict", k.good ? kGood : kCaution);
                             j.str("why", k.why);
                             j.str("detail", k.detail);
                             std::string& steps = j.key("steps");
                             steps += '[';
                             for (size_t i = 0; i < k.steps.size(); ++i)
                                 steps += (i ? "," : "") + std::to_string(k.steps[i]);
                             steps += ']';
                         });
                // Its questions, the answers and the reasons written as one phrase are sentences; the
                // rest breaks as the other tables do ("クロスシリンダー 軸" between its words).
                std::vector<ExpertRow> rows = expertTable(expert.result.run);
                for (size_t i = 0; i < rows.size(); ++i) {
                    const bool asks = expert.result.run.steps[i].move == ExpertMove::Ask;
                    for (size_t column = 0; column < rows[i].size(); ++column) {
                        std::string& cell = rows[i][column];
                        const bool sentence = (asks && (column == 1 || column == 3)) ||
                                              (column == 4 && cell.find(' ') == std::string::npos);
                        cell = sentence ? sentenceLineBreaks(cell) : withLineBreaks(cell);
                    }
                }
                r.key("expertRows") += rowsJson(rows);
                r.key("expertSummary") += rowsJson(expertSummary(*c, expert.record));
            } else {
                r.null("checks");
            }
        } else {
            o.null("review");
        }
        {
            std::string& hint = o.key("hint");
            JsonObject h(hint);
            h.boolean("offered", sitting_.hintOffered());
            h.str("text", sitting_.hintOffered() ? sitting_.hintText() : std::string());
        }
        std::string& view = o.key("view");
        JsonObject v(view);
        v.boolean("shown", viewKey_.shown);
        v.integer("version", viewVersion_);
    }
    return out;
}

std::string PageSitting::plot() const {
    const CaseRecord* c = sitting_.reviewed();
    if (!c) return "null";
    const ReviewPlot p = reviewPlot(*c, kReviewPlotWidth, kReviewPlotHeight,
                                    c->status == CaseStatus::Ended ? &sitting_.expertFor(*c).record : nullptr);
    std::string out;
    {
        JsonObject o(out);
        o.key("width") += number(p.width);
        o.key("height") += number(p.height);
        o.key("area") +=
            "[" + number(p.left) + "," + number(p.top) + "," + number(p.right) + "," + number(p.bottom) + "]";
        o.key("paper") += colourJson(p.paper);
        listJson(o.key("strokes"), p.strokes, [](JsonObject& j, const PlotSegment& s) {
            j.key("x1") += number(s.from.x);
            j.key("y1") += number(s.from.y);
            j.key("x2") += number(s.to.x);
            j.key("y2") += number(s.to.y);
            penJson(j, s.pen);
        });
        listJson(o.key("lines"), p.lines, [](JsonObject& j, const PlotLine& l) {
            penJson(j, l.pen);
            j.key("points") += pointsJson(l.points);
        });
        listJson(o.key("rings"), p.rings, [](JsonObject& j, const PlotRing& r) {
            j.key("x") += number(r.centre.x);
            j.key("y") += number(r.centre.y);
            j.key("r") += number(r.radius);
            j.key("fill") += colourJson(r.fill);
            penJson(j, r.pen);
        });
        listJson(o.key("texts"), p.texts, [](JsonObject& j, const PlotText& t) {
            j.str("text", t.text);
            j.key("x") += number(t.at.x);
            j.key("y") += number(t.at.y);
            j.key("angle") += number(t.angle);
            j.key("size") += number(t.size);
            j.key("width") += number(t.width);
            j.key("fill") += colourJson(t.colour);
        });
        // The answers' labels are the last texts.
        o.key("answers") += std::to_string(
            std::count_if(p.questions.begin(), p.questions.end(), [](const PlotMark& m) { return !m.label.empty(); }));
    }
    return out;
}

std::string PageSitting::startCode(const std::string& text, bool confirmed) {
    message_.clear();
    std::optional<CaseCode> code = sitting_.offerCode(text);
    const bool asking = !sitting_.codePrompt().question.empty();
    if (!code && asking && confirmed) code = sitting_.answerAbandon(true);
    if (!code) return asking ? "confirm" : "bad";
    return begin(*code);
}

std::string PageSitting::answerAbandon(bool yes) {
    const std::optional<CaseCode> code = sitting_.answerAbandon(yes);
    return code ? begin(*code) : "kept";
}

std::string PageSitting::begin(const CaseCode& code) {
    sitting_.startCode(code);
    pictures_.clear();
    viewKey_ = customerViewKey(sitting_.form());
    ++viewVersion_;
    return "ok";
}

void PageSitting::chooseCase(int index) {
    sitting_.chooseCase(index < 0 ? sitting_.cases().size() : static_cast<size_t>(index));
}

std::string PageSitting::csv() const { return sitting_.csv(); }

std::string PageSitting::procedureTable() const {
    std::vector<ProcedureRow> rows;
    const std::vector<ProcedureFigures> figures = sitting_.procedureFigures();
    for (size_t i = 0; i < figures.size(); ++i) rows.push_back(procedureRow(sitting_.cases()[i], figures[i]));
    return rowsJson(rows);
}

std::string PageSitting::csvFileName() const { return sitting_.csvFileName(localToday()); }

std::string PageSitting::customerView() {
    pictures_ = ::customerView(sitting_.form());
    const auto captions = faceCaptions(sitting_.form().setting().front);
    const bool faces = pictures_.size() == 2;
    std::string out = "[";
    for (size_t i = 0; i < pictures_.size(); ++i) {
        if (i) out += ',';
        JsonObject o(out);
        o.integer("width", pictures_[i].width);
        o.integer("height", pictures_[i].height);
        o.str("description", pictures_[i].description);
        if (faces) {
            o.str("caption", captions[i].text);
            o.boolean("inFront", captions[i].inFront);
        }
    }
    return out + ']';
}

const CustomerPicture* PageSitting::picture(size_t index) const {
    return index < pictures_.size() ? &pictures_[index] : nullptr;
}

std::string PageSitting::lmsReport(const std::string& launchData) const {
    return lmsReportJson(::lmsReport(sitting_.cases(), readLaunchData(launchData)));
}

void PageSitting::keep(bool on) {
    keeping_ = on;
    collector_.lines.clear();
    sitting_.setKeeper(on ? &collector_ : nullptr);
}

std::string PageSitting::keptLines() { return std::exchange(collector_.lines, {}); }

void PageSitting::keptFound(bool inUse, const std::string& journal) {
    found_.push_back(journal);
    foundInUse_.push_back(inUse);
}

std::string PageSitting::reviewKept(bool offer) {
    std::vector<KeptCandidate> candidates;
    for (size_t i = 0; i < found_.size(); ++i) candidates.push_back({found_[i], {}, foundInUse_[i]});
    KeptReview review = ::reviewKept(candidates, offer);
    offered_ = std::move(review.offeredSitting);
    std::string out;
    {
        JsonObject o(out);
        if (review.offered)
            o.integer("offered", static_cast<long long>(*review.offered));
        else
            o.null("offered");
        std::string& aside = o.key("aside");
        aside += '[';
        for (size_t i = 0; i < review.setAside.size(); ++i)
            aside += (i ? ",[" : "[") + std::to_string(review.setAside[i].first) + "," +
                     std::to_string(static_cast<int>(review.setAside[i].second)) + "]";
        aside += ']';
        std::vector<size_t> remove = review.untouched;
        remove.insert(remove.end(), review.removed.begin(), review.removed.end());
        std::string& removed = o.key("remove");
        removed += '[';
        for (size_t i = 0; i < remove.size(); ++i) removed += (i ? "," : "") + std::to_string(remove[i]);
        removed += ']';
        o.str("pruned", review.removed.empty() ? std::string() : prunedMessage(review.removed.size()));
    }
    found_.clear();
    foundInUse_.clear();
    return out;
}

std::string PageSitting::setAsideMessage(int problem, const std::string& keptAs) {
    const bool known = problem >= 0 && problem <= static_cast<int>(JournalProblem::Newer);
    return ::setAsideMessage(known ? static_cast<JournalProblem>(problem) : JournalProblem::Corrupt, keptAs);
}

bool PageSitting::resumeBrief(const std::string& text) {
    message_.clear();
    const bool resumed = sitting_.resumeBrief(text);
    collector_.lines.clear();
    pictures_.clear();
    platform_.take();
    viewKey_ = customerViewKey(sitting_.form());
    ++viewVersion_;
    return resumed;
}

bool PageSitting::resumeOffered() {
    if (!offered_) return false;
    const KeptSitting kept = std::move(*offered_);
    offered_.reset();
    message_.clear();
    const bool agrees = sitting_.resume(kept);
    // The lines of the sitting it replaces are no longer to be kept, nor those of the replay.
    collector_.lines.clear();
    if (!agrees) sitting_.beginAnew(CaseCode::fromClock(), "", clock_.wallNow().epochMs);
    pictures_.clear();
    platform_.take();
    viewKey_ = customerViewKey(sitting_.form());
    ++viewVersion_;
    return agrees;
}
