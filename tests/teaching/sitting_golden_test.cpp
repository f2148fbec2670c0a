// Three seeded sittings played through the window, and everything the panel makes of them
// compared with files kept in tests/teaching/golden/: the record's rows, the review's plot data and step
// table for every case, the CSV bytes, and a digest of the customer's view every few actions.
// They pin what the record and the review show while the code around them is rearranged.
// Run with TRAINER_UPDATE_GOLDEN=1 to write the files anew (then read the diff before committing).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/teaching/customer_view.h"
#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

// A small generator of our own: the walk must be the same on every standard library.
class Lcg {
public:
    explicit Lcg(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next(uint32_t n) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>((state_ >> 33) % n);
    }

private:
    uint64_t state_;
};

struct Player {
    FakePlatform platform;
    FakeRecordClock clock;
    Sitting sitting;
    Lcg lcg;

    Player(uint64_t code, uint64_t seed) : sitting(platform, clock, CaseCode(code)), lcg(seed) {}
    Form1& w() { return sitting.form(); }

    // One action of a trainee who mostly works on the lens and asks, now and then ends a case
    // and goes on to the next customer. Refused actions are forwarded too, as the views do.
    void act() {
        Form1& f = w();
        clock.now += 700 + lcg.next(4000);
        const uint32_t r = lcg.next(100);
        if (r < 36) {
            HScrollBar* bars[] = {&f.HScroll1, &f.HScroll2, &f.HScroll3, &f.HScroll4};
            HScrollBar& bar = *bars[r < 14 ? 0 : r < 22 ? 1 : r < 30 ? 2 : 3];
            const int direction = lcg.next(2) ? 1 : -1;
            if (lcg.next(4) == 0) {
                bar.userTrack(direction);
            } else {
                bar.userArrow(direction);
            }
        } else if (r < 46) {
            OptionButton* charts[] = {&f.Option5, &f.Option6, &f.Option7, &f.Option8};
            select(*charts[lcg.next(4)]);
        } else if (r < 56) {
            OptionButton* questions[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option9};
            select(*questions[lcg.next(5)]);
        } else if (r < 78) {
            click(f.Command6);
        } else if (r < 86) {
            CommandButton* cc[] = {&f.Command2, &f.Command3, &f.Command3, &f.Command4};
            click(*cc[lcg.next(4)]);
        } else if (r < 90) {
            OptionButton* modes[] = {&f.Option10, &f.Option11, &f.Option12};
            select(*modes[lcg.next(3)]);
        } else if (r < 95) {
            click(f.Command5);
        } else {
            click(f.STARTbutton);
        }
    }
    void click(CommandButton& b) { b.userClick(); }
    void select(OptionButton& o) { o.userSelect(); }
};

uint64_t fnv1a(const std::vector<uint8_t>& bytes, uint64_t h = 0xcbf29ce484222325ull) {
    for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

void writePoints(std::ostream& out, const char* name, const std::vector<PlotPoint>& points) {
    out << name << ":";
    for (const PlotPoint& p : points) out << " " << number(p.x) << "," << number(p.y);
    out << "\n";
}

void writeScale(std::ostream& out, const char* name, const PlotScale& s) {
    out << name << ": " << number(s.min) << " .. " << number(s.max) << " \"" << s.title << "\"\n";
    for (const PlotTick& t : s.ticks)
        out << "  tick " << number(t.at) << " " << number(t.value) << " " << t.label << "\n";
}

void writeCase(std::ostream& out, const CaseRecord& c) {
    const ReviewPlot p = reviewPlot(c, 480, 260);
    out << "plot " << number(p.width) << "x" << number(p.height) << " area " << number(p.left) << " " << number(p.top)
        << " " << number(p.right) << " " << number(p.bottom) << " zero " << number(p.zeroY) << "\n";
    writeScale(out, "steps", p.steps);
    writeScale(out, "dioptres", p.dioptres);
    writeScale(out, "degrees", p.degrees);
    writePoints(out, "equivalent", p.equivalent);
    writePoints(out, "cylinder", p.cylinder);
    writePoints(out, "axisDifference", p.axisDifference);
    for (const PlotMark& m : p.questions)
        out << "mark " << m.step << " " << number(m.at.x) << "," << number(m.at.y) << " " << m.text << "\n";
    for (const ReviewRow& row : reviewTable(c)) {
        out << "step";
        for (const std::string& cell : row) out << " | " << cell;
        out << "\n";
    }
    for (const auto& [heading, text] : reviewSummary(c)) out << "summary " << heading << ": " << text << "\n";
    out << "text\n" << reviewPlotText(c) << "\n";
}

// Everything the panel makes of one sitting, as text.
// `newCodeAt`: the action before which a second code is started in the middle of the sitting.
std::string playSitting(uint64_t code, uint64_t seed, int actions, int newCodeAt = -1) {
    Player player(code, seed);
    player.sitting.setTraineeName("山田　花子");
    std::ostringstream views;
    for (int i = 0; i < actions; ++i) {
        if (i == newCodeAt) player.sitting.startCode(CaseCode(code + 7919));
        player.act();
        if (i % 15 == 0) {
            views << "view " << i << ":";
            for (const CustomerPicture& picture : customerView(player.w()))
                views << " " << picture.width << "x" << picture.height << " " << std::hex << fnv1a(picture.rgba)
                      << std::dec << " " << picture.description;
            views << "\n";
        }
    }
    std::ostringstream out;
    const std::vector<CaseRecord>& cases = player.sitting.cases();
    for (const SittingRow& row : sittingRows(cases)) {
        out << "row";
        for (const std::string& cell : row) out << " | " << cell;
        out << "\n";
    }
    out << "scores " << scoreSummaryText(cases) << "\n";
    for (size_t i = 0; i < cases.size(); ++i) {
        out << "== case " << i + 1 << "\n";
        writeCase(out, cases[i]);
    }
    out << "== csv\n" << player.sitting.csv() << "== customer's view\n" << views.str();
    return out.str();
}

std::string goldenPath(const std::string& name) { return std::string(TRAINER_GOLDEN_DIR) + "/" + name; }

void compareWithGolden(const std::string& name, const std::string& actual) {
    const std::string path = goldenPath(name);
    if (const char* update = std::getenv("TRAINER_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path << " (TRAINER_UPDATE_GOLDEN=1 writes it)";
    std::ostringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return;
    // Point at the first line that differs rather than printing two long files.
    std::istringstream e(expected.str()), a(actual);
    std::string el, al;
    for (int line = 1;; ++line) {
        const bool moreE = static_cast<bool>(std::getline(e, el)), moreA = static_cast<bool>(std::getline(a, al));
        if (!moreE && !moreA) break;
        if (el != al || moreE != moreA) {
            ADD_FAILURE() << name << " differs at line " << line << "\nexpected: " << (moreE ? el : "(end)")
                          << "\nactual:   " << (moreA ? al : "(end)");
            return;
        }
    }
    ADD_FAILURE() << name << " differs";
}

}  // namespace

TEST(SittingGolden, ThreeSeededSittingsShowWhatTheyShowed) {
    compareWithGolden("sitting_1.txt", playSitting(1, 11, 400));
    compareWithGolden("sitting_2.txt", playSitting(987654321, 22, 600));
    compareWithGolden("sitting_3.txt", playSitting(42424242, 33, 900, 450));
}
