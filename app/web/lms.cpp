#include "app/web/lms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/web/json.h"
#include "optics/refraction.h"

namespace {

std::optional<int> readInt(std::string_view v, int low, int high) {
    if (v.empty() || v.size() > 6) return std::nullopt;
    int n = 0;
    for (char ch : v) {
        if (ch < '0' || ch > '9') return std::nullopt;
        n = n * 10 + (ch - '0');
    }
    if (n < low || n > high) return std::nullopt;
    return n;
}

// A signed value with two decimals, "+" before a positive one: "+0.50", "0.00", "-1.25".
std::string signedDioptres(double d) {
    const std::string text = format00(d);
    return d > 0 && text != "0.00" ? "+" + text : text;
}

}  // namespace

const char* lmsModeName(Mode mode) {
    switch (mode) {
    case Mode::Test:
        return "test";
    case Mode::Practice:
        return "practice";
    case Mode::Sample:
        return "sample";
    }
    return "test";
}

LmsSettings readLaunchData(std::string_view text) {
    LmsSettings s;
    while (!text.empty()) {
        const size_t amp = text.find('&');
        const std::string_view pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view{} : text.substr(amp + 1);
        const size_t eq = pair.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = pair.substr(0, eq);
        const std::string_view value = pair.substr(eq + 1);
        if (key == "case") {
            if (CaseCode::parse(value)) s.caseText = std::string(value);
        } else if (key == "mode") {
            for (Mode m : {Mode::Test, Mode::Practice, Mode::Sample})
                if (value == lmsModeName(m)) s.counted = m;
        } else if (key == "customers") {
            if (auto n = readInt(value, 1, 1000)) s.customers = *n;
        } else if (key == "mastery") {
            if (auto n = readInt(value, 0, 100)) s.mastery = *n;
        }
    }
    return s;
}

std::string lmsSettingsJson(const LmsSettings& settings) {
    std::string out;
    {
        JsonObject o(out);
        o.str("case", settings.caseText);
        o.str("mode", lmsModeName(settings.counted));
        o.integer("customers", settings.customers);
        if (settings.mastery)
            o.integer("mastery", *settings.mastery);
        else
            o.null("mastery");
    }
    return out;
}

std::string lmsRefusedMessage(int error) {
    return "学習管理システムが記録を受け取りませんでした（エラー " + std::to_string(error) +
           "）。練習はこのまま続けられます。";
}

std::string lmsTextsJson() {
    std::string out;
    {
        JsonObject o(out);
        o.str("student", kLmsStudent);
        o.str("finished", kLmsFinished);
    }
    return out;
}

bool lmsCounts(const CaseRecord& c, const LmsSettings& settings) {
    if (c.status != CaseStatus::Ended || c.mode != settings.counted) return false;
    // Where the teacher set the class's code, only its customers count.
    if (!settings.caseText.empty() && CaseCode::parse(settings.caseText) != std::optional<CaseCode>(c.code))
        return false;
    return !c.modeChanged();
}

std::string lmsTimespan(int64_t ms) {
    if (ms < 0) ms = 0;
    const int64_t centis = std::min<int64_t>(ms / 10, int64_t{9999} * 360000 + 359999);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04lld:%02lld:%02lld.%02lld", static_cast<long long>(centis / 360000),
                  static_cast<long long>(centis / 6000 % 60), static_cast<long long>(centis / 100 % 60),
                  static_cast<long long>(centis % 100));
    return buf;
}

LmsReport lmsReport(const std::vector<CaseRecord>& cases, const LmsSettings& settings) {
    LmsReport r;
    long long total = 0;
    for (const CaseRecord& c : cases) {
        if (c.status != CaseStatus::Ended) continue;
        const Step& result = c.result();
        LmsInteraction& i = r.interactions.emplace_back();
        // The code's eight digits fix it; its check symbol may be one an identifier cannot hold.
        const std::string digits = c.code.digits();
        i.id = digits.substr(0, 4) + "-" + digits.substr(4) + "_" + std::to_string(c.customer + 1);
        const int axis = static_cast<int>(result.lens.A);
        i.response = "S" + signedDioptres(result.lens.S) + " C" + signedDioptres(result.lens.C) + " A" +
                     std::to_string(axis == 0 ? 180 : axis);
        i.score = result.residual.score;
        i.latency = lmsTimespan(c.durationMs());
        i.mode = lmsModeName(c.mode);
        if (lmsCounts(c, settings)) {
            ++r.counted;
            total += i.score;
        }
    }
    if (r.counted > 0) r.score = shortestDecimal(static_cast<double>(total) / r.counted);
    if (r.counted < settings.customers) {
        r.status = "incomplete";
    } else if (settings.mastery) {
        r.status = static_cast<double>(total) / r.counted >= *settings.mastery ? "passed" : "failed";
    } else {
        r.status = "completed";
    }
    return r;
}

std::string lmsReportJson(const LmsReport& report) {
    std::string out;
    {
        JsonObject o(out);
        std::string& list = o.key("interactions");
        list += '[';
        for (size_t k = 0; k < report.interactions.size(); ++k) {
            const LmsInteraction& i = report.interactions[k];
            if (k) list += ',';
            JsonObject e(list);
            e.str("id", i.id);
            e.str("response", i.response);
            e.integer("score", i.score);
            e.str("latency", i.latency);
            e.str("mode", i.mode);
        }
        list += ']';
        o.str("score", report.score);
        o.str("status", report.status);
        o.integer("counted", report.counted);
    }
    return out;
}
