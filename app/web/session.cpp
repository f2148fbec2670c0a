#include "app/web/session.h"

#include <cstdio>
#include <utility>

#include "app/teaching/panel_texts.h"
#include "app/teaching/review.h"
#include "app/web/json.h"
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

template <class Row>
std::string rowsJson(const std::vector<Row>& rows) {
    std::string out = "[";
    for (size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",[" : "[";
        for (size_t i = 0; i < rows[r].size(); ++i) out += (i ? "," : "") + jsonString(rows[r][i]);
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

std::string scaleJson(const PlotScale& s) {
    std::string out;
    {
        JsonObject o(out);
        o.key("min") += number(s.min);
        o.key("max") += number(s.max);
        o.str("title", s.title);
        std::string& ticks = o.key("ticks");
        ticks += '[';
        for (size_t i = 0; i < s.ticks.size(); ++i) {
            if (i) ticks += ',';
            JsonObject t(ticks);
            t.key("at") += number(s.ticks[i].at);
            t.str("label", s.ticks[i].label);
        }
        ticks += ']';
    }
    return out;
}

}  // namespace

Session::Session(uint64_t seed, const std::string& caseText)
    : message_(caseText.empty() || CaseCode::parse(caseText) ? "" : kBadCaseCodeMessage),
      sitting_(platform_, clock_, CaseCode::parse(caseText).value_or(codeOf(seed))),
      viewKey_(customerViewKey(sitting_.form())) {}

std::string Session::state() { return stateJson(sitting_.form(), platform_.take()); }

template <class T>
T* Session::find(const std::string& name, Kind kind) const {
    Control* c = const_cast<Form1&>(sitting_.form()).find(name);
    return c && c->kind() == kind ? static_cast<T*>(c) : nullptr;
}

std::string Session::observed(ActionKind kind, const std::string& name) {
    const auto ended = [this] {
        size_t n = 0;
        for (const CaseRecord& c : sitting_.cases()) n += c.status == CaseStatus::Ended;
        return n;
    };
    const size_t before = ended();
    sitting_.observe(UserAction{kind, name});
    announcement_ = ended() > before ? endAnnouncement(sitting_.cases().back()) : std::string();
    const CustomerViewKey key = customerViewKey(sitting_.form());
    if (!(key == viewKey_)) {
        viewKey_ = key;
        ++viewVersion_;
    }
    return state();
}

std::string Session::click(const std::string& name) {
    if (auto* b = find<CommandButton>(name, Kind::Button)) b->userClick();
    return observed(ActionKind::Click, name);
}

std::string Session::select(const std::string& name) {
    if (auto* o = find<OptionButton>(name, Kind::Option)) o->userSelect();
    return observed(ActionKind::Select, name);
}

std::string Session::arrow(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userArrow(direction);
    return observed(ActionKind::Arrow, name);
}

std::string Session::track(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userTrack(direction);
    return observed(ActionKind::Track, name);
}

std::string Session::release(const std::string& name, int value) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userRelease(value);
    return observed(ActionKind::Release, name);
}

std::string Session::focusAfter(const std::string& focused) const {
    const Form1& form = sitting_.form();
    const Control* to = focusAfterAction(form, form.find(focused));
    return to ? to->name() : std::string();
}

std::string Session::panelTexts() {
    namespace t = panel_text;
    static constexpr std::pair<const char*, const char*> kTexts[] = {
        {"panel", t::kPanel},
        {"open", t::kOpen},
        {"close", t::kClose},
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
        {"saved", t::kSaved},
        {"saveFailed", t::kSaveFailed},
        {"unsavedNote", t::kUnsavedNote},
        {"customerView", t::kCustomerView},
        {"front", t::kFront},
        {"back", t::kBack},
    };
    std::string out;
    {
        JsonObject o(out);
        for (const auto& [key, text] : kTexts) o.str(key, text);
        o.strings("sittingColumns", listOf(kSittingColumns));
        o.strings("reviewColumns", listOf(kReviewColumns));
        o.strings("lines", {kEquivalentName, kCylinderName, kAxisDifferenceName});
    }
    return out;
}

std::string Session::panel() const {
    std::string out;
    {
        JsonObject o(out);
        o.str("code", std::string(panel_text::kCaseCode) + " " + sitting_.code().text());
        o.str("message", message_);
        o.key("rows") += rowsJson(sittingRows(sitting_.cases()));
        o.str("summary", scoreSummaryText(sitting_.cases()));
        o.boolean("unsaved", sitting_.unsaved());
        const auto index = sitting_.reviewedIndex();
        if (index)
            o.integer("reviewed", static_cast<long long>(*index));
        else
            o.null("reviewed");
        if (const CaseRecord* c = sitting_.reviewed()) {
            std::string& review = o.key("review");
            JsonObject r(review);
            r.key("rows") += rowsJson(reviewTable(*c));
            std::vector<std::array<std::string, 2>> summary;
            for (const auto& [heading, text] : reviewSummary(*c)) summary.push_back({heading, text});
            r.key("summary") += rowsJson(summary);
            r.str("plotText", reviewPlotText(*c));
        } else {
            o.null("review");
        }
        o.str("announce", announcement_);
        std::string& view = o.key("view");
        JsonObject v(view);
        v.boolean("shown", viewKey_.shown);
        v.integer("version", viewVersion_);
    }
    return out;
}

std::string Session::plot(double width, double height) const {
    const CaseRecord* c = sitting_.reviewed();
    if (!c) return "null";
    const ReviewPlot p = reviewPlot(*c, width, height);
    std::string out;
    {
        JsonObject o(out);
        o.key("width") += number(p.width);
        o.key("height") += number(p.height);
        o.key("area") +=
            "[" + number(p.left) + "," + number(p.top) + "," + number(p.right) + "," + number(p.bottom) + "]";
        o.key("steps") += scaleJson(p.steps);
        o.key("dioptres") += scaleJson(p.dioptres);
        o.key("degrees") += scaleJson(p.degrees);
        o.key("zeroY") += number(p.zeroY);
        o.key("equivalent") += pointsJson(p.equivalent);
        o.key("cylinder") += pointsJson(p.cylinder);
        o.key("axisDifference") += pointsJson(p.axisDifference);
        std::string& marks = o.key("questions");
        marks += '[';
        for (size_t i = 0; i < p.questions.size(); ++i) {
            if (i) marks += ',';
            JsonObject m(marks);
            m.integer("step", static_cast<long long>(p.questions[i].step));
            m.key("x") += number(p.questions[i].at.x);
            m.key("y") += number(p.questions[i].at.y);
            m.str("text", p.questions[i].text);
        }
        marks += ']';
    }
    return out;
}

std::string Session::startCode(const std::string& text, bool confirmed) {
    const auto code = CaseCode::parse(text);
    if (!code) return "bad";
    if (sitting_.newCodeAbandonsWork() && !confirmed) return "confirm";
    sitting_.startCode(*code);
    message_.clear();
    announcement_.clear();
    pictures_.clear();
    viewKey_ = customerViewKey(sitting_.form());
    ++viewVersion_;
    return "ok";
}

void Session::chooseCase(int index) {
    sitting_.chooseCase(index < 0 ? sitting_.cases().size() : static_cast<size_t>(index));
}

std::string Session::csv() const { return sittingCsv(sitting_.cases()); }

std::string Session::csvFileName() const { return ::csvFileName(sitting_.code(), localToday()); }

std::string Session::customerView() {
    pictures_ = ::customerView(sitting_.form());
    std::string out = "[";
    for (size_t i = 0; i < pictures_.size(); ++i) {
        if (i) out += ',';
        JsonObject o(out);
        o.integer("width", pictures_[i].width);
        o.integer("height", pictures_[i].height);
        o.str("description", pictures_[i].description);
    }
    return out + ']';
}

const CustomerPicture* Session::picture(size_t index) const {
    return index < pictures_.size() ? &pictures_[index] : nullptr;
}
