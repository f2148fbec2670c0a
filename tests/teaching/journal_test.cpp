// The kept sitting: written as it goes, read back, and played into a fresh window that then
// shows and records exactly what the original did.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/teaching/journal.h"
#include "app/teaching/sitting.h"
#include "tests/form1/walk_driver.h"
#include "tests/test_support.h"

namespace {

// Every field of the record that a replay must give back, times included.
std::string recordDump(const std::vector<CaseRecord>& cases) {
    std::ostringstream out;
    for (const CaseRecord& c : cases) {
        out << "case " << c.code.text() << ' ' << c.customer << ' ' << static_cast<int>(c.status) << ' '
            << static_cast<int>(c.mode) << ' ' << c.reading << ' ' << (c.endStep ? static_cast<long>(*c.endStep) : -1)
            << '\n';
        for (const Step& s : c.steps)
            out << "  " << s.timeMs << ' ' << static_cast<int>(s.kind) << ' ' << s.choice << ' ' << s.lensBars[0] << ','
                << s.lensBars[1] << ',' << s.lensBars[2] << ' ' << s.crossCylinder.in << s.crossCylinder.handle
                << s.crossCylinder.front << ' ' << s.correction.S << ',' << s.correction.C << ',' << s.correction.A
                << ' ' << s.residual.score << ' ' << s.answered << ' ' << s.answer << '\n';
    }
    return out.str();
}

// One step of a trainee's sitting: now and then another code, a save, a hint or a name typed,
// and an action on the window.
void act(Sitting& sitting, TraineeDriver& trainee, int i) {
    if (trainee.chance(0.01)) sitting.startCode(CaseCode(sitting.code().number() + 1 + i));
    if (trainee.chance(0.02)) sitting.markSaved();
    // A hint asked for and a name typed are the record's too, and come back with it.
    if (trainee.chance(0.03)) sitting.askHint();
    if (trainee.chance(0.01)) sitting.setTraineeName(i % 2 ? "山田 花子" : "Sato, Yuki");
    perform(trainee.randomAction(sitting.form()));
}

struct Walk {
    FakePlatform platform;
    FakeRecordClock clock{1'000'000, 137};
    Sitting sitting;
    TraineeDriver trainee;

    Walk(uint64_t code, uint32_t seed) : sitting(platform, clock, CaseCode(code), 1'765'300'000'000), trainee(seed) {}

    void act(int i) { ::act(sitting, trainee, i); }
};

struct Replayed {
    FakePlatform platform;
    FakeRecordClock clock{42, 137};
    Sitting sitting{platform, clock, CaseCode(7)};
};

KeptSitting read(const std::string& journal) {
    JournalRead r = readJournal(journal);
    EXPECT_EQ(r.problem, JournalProblem::None);
    if (r.sitting) return *r.sitting;
    return KeptSitting();
}

}  // namespace

TEST(KeptSitting, ReplayGivesBackWindowAndRecordStateForStateOnSeededWalks) {
    for (const auto& [code, seed] : {std::pair<uint64_t, uint32_t>{1, 5}, {987654321, 6}, {42424242, 7}}) {
        Walk walk(code, seed);
        for (int i = 0; i < 900; ++i) {
            walk.act(i);
            if (i % 75 != 74) continue;
            Replayed r;
            ASSERT_TRUE(r.sitting.resume(read(walk.sitting.journal()))) << "seed " << seed << " action " << i;
            ASSERT_EQ(dumpControls(r.sitting.form()), dumpControls(walk.sitting.form())) << "action " << i;
            ASSERT_EQ(recordDump(r.sitting.cases()), recordDump(walk.sitting.cases())) << "action " << i;
            EXPECT_EQ(r.sitting.code(), walk.sitting.code());
            EXPECT_EQ(r.sitting.traineeName(), walk.sitting.traineeName());
            EXPECT_EQ(r.sitting.unsaved(), walk.sitting.unsaved());
            EXPECT_EQ(r.sitting.journal(), walk.sitting.journal());
            EXPECT_EQ(r.platform.quits + r.platform.prints + r.platform.beeps, 0) << "replay reached the platform";
        }
    }
}

TEST(KeptSitting, ResumedSittingGoesOnAsIfNeverInterrupted) {
    // One sitting played through; another interrupted halfway, resumed and played on with the same
    // inputs: the next customers are the code's next ones, the journals and records agree.
    Walk whole(31337, 9);
    for (int i = 0; i < 400; ++i) whole.act(i);

    Walk first(31337, 9);
    for (int i = 0; i < 200; ++i) first.act(i);
    Replayed r;
    ASSERT_TRUE(r.sitting.resume(read(first.sitting.journal())));
    TraineeDriver& trainee = first.trainee;  // the same choices from here on
    for (int i = 200; i < 400; ++i) act(r.sitting, trainee, i);
    EXPECT_EQ(dumpControls(r.sitting.form()), dumpControls(whole.sitting.form()));
    EXPECT_EQ(recordDump(r.sitting.cases()), recordDump(whole.sitting.cases()));
    EXPECT_EQ(r.sitting.journal(), whole.sitting.journal());
}

TEST(KeptSitting, JournalRoundTripsAndSaysWhatIsUnsaved) {
    Walk walk(5, 1);
    EXPECT_EQ(read(walk.sitting.journal()).entries.size(), 0u);
    EXPECT_FALSE(read(walk.sitting.journal()).unsaved());
    walk.sitting.form().HScroll1.userArrow(-1);
    walk.sitting.form().Option7.userSelect();
    KeptSitting k = read(walk.sitting.journal());
    ASSERT_EQ(k.entries.size(), 2u);
    EXPECT_EQ(k.entries[0].control, "HScroll1");
    EXPECT_EQ(k.entries[0].input, (UserInput{InputVerb::Arrow, -1}));
    EXPECT_EQ(k.entries[1].input.verb, InputVerb::Select);
    EXPECT_EQ(k.entries[0].timeMs, 137);  // the sitting's own clock, from 0 at its start
    EXPECT_EQ(k.startedMs, 1'765'300'000'000);
    EXPECT_TRUE(k.unsaved());
    walk.sitting.markSaved();
    k = read(walk.sitting.journal());
    EXPECT_FALSE(k.unsaved());
    EXPECT_EQ(journalText(k), walk.sitting.journal());

    k.name = "山田 花子%";
    EXPECT_EQ(read(journalText(k)).name, "山田 花子%");
}

TEST(KeptSitting, DamagedJournalsAreToldApart) {
    Walk walk(5, 2);
    for (int i = 0; i < 30; ++i) walk.act(i);
    const std::string good = walk.sitting.journal();
    const size_t head = good.find("\ni ") + 1;

    EXPECT_EQ(readJournal("").problem, JournalProblem::Truncated);
    EXPECT_EQ(readJournal(good.substr(0, 20)).problem, JournalProblem::Truncated);
    EXPECT_EQ(readJournal(good.substr(0, good.size() - 3)).problem, JournalProblem::Truncated);
    EXPECT_EQ(readJournal("PK\x03\x04 zip").problem, JournalProblem::Corrupt);
    std::string newer = good;
    newer.replace(newer.find(" 1\n"), 3, " 2\n");
    EXPECT_EQ(readJournal(newer).problem, JournalProblem::Newer);
    EXPECT_EQ(readJournal(newer.substr(0, head) + "x something new\n").problem, JournalProblem::Newer);
    for (const std::string& bad :
         {std::string("i 5 HScroll1 q 1 0 0000000000000000\n"), std::string("i 5 HScroll1 a 1 0 123\n"),
          std::string("c 5 0000-0000-X\n"), std::string("s -4 3\n"), std::string("\n")})
        EXPECT_EQ(readJournal(good + bad).problem, JournalProblem::Corrupt) << bad;

    // The snapshot stands in for a journal that lost its tail, and must agree with one that has it.
    const std::string snapshot = good.substr(0, good.rfind("\ni ") + 1);
    EXPECT_EQ(readKept(good, snapshot).problem, JournalProblem::None);
    EXPECT_EQ(readKept(good.substr(0, head + 7), snapshot).sitting->entries.size(), read(snapshot).entries.size());
    std::string other = good;
    other[head + 2] = '9';
    EXPECT_EQ(readKept(other, snapshot).problem, JournalProblem::Corrupt);

    // A journal that reads well but does not play back to what it says is not to be trusted.
    std::string tampered = good;
    const size_t fp = tampered.find('\n', head) - 1;
    tampered[fp] = tampered[fp] == '0' ? '1' : '0';
    Replayed r;
    EXPECT_FALSE(r.sitting.resume(read(tampered)));
    std::string unknown = good.substr(0, head) + "i 1 Label99 c 0 0 0000000000000000\n";
    EXPECT_FALSE(r.sitting.resume(read(unknown)));
}
