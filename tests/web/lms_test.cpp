// What a learning system is told of a sitting: the teacher's settings as the launch data gives
// them, the ended cases as interactions, and the score and status from the cases that count.

#include <gtest/gtest.h>

#include <string>

#include "app/web/lms.h"
#include "app/web/page_sitting.h"

TEST(Lms, LaunchDataIsReadKeyByKeyAndAMistypedSettingKeepsItsDefault) {
    const LmsSettings given = readLaunchData("mode=practice&customers=3&mastery=80&case=014s-c0pj-v");
    EXPECT_EQ(given.caseText, "014s-c0pj-v");
    EXPECT_EQ(given.counted, Mode::Practice);
    EXPECT_EQ(given.customers, 3);
    EXPECT_EQ(given.mastery, 80);
    EXPECT_EQ(lmsSettingsJson(given), R"({"case":"014s-c0pj-v","mode":"practice","customers":3,"mastery":80})");

    const LmsSettings bad = readLaunchData("case=014S-C0PJ-X&mode=テスト&customers=0&mastery=101&x=1&&novalue");
    EXPECT_EQ(bad.caseText, "");  // a code whose check symbol is wrong plays nobody's customers
    EXPECT_EQ(bad.counted, Mode::Test);
    EXPECT_EQ(bad.customers, 5);
    EXPECT_FALSE(bad.mastery);
    EXPECT_EQ(lmsSettingsJson(readLaunchData("")), R"({"case":"","mode":"test","customers":5,"mastery":null})");
}

TEST(Lms, TimeSpansAreWrittenAsScormDoes) {
    EXPECT_EQ(lmsTimespan(0), "0000:00:00.00");
    EXPECT_EQ(lmsTimespan(90'000), "0000:01:30.00");
    EXPECT_EQ(lmsTimespan(3'723'459), "0001:02:03.45");
    EXPECT_EQ(lmsTimespan(-5), "0000:00:00.00");
    EXPECT_EQ(lmsTimespan(int64_t{10'000} * 3'600'000), "9999:59:59.99");  // the longest it can say
}

TEST(Lms, OnlyCasesEndedInTheModeThatCountsEnterTheScoreAndTheStatus) {
    PageSitting s(5);
    const std::string test = "customers=2";
    EXPECT_EQ(s.lmsReport(test), R"({"interactions":[],"score":"","status":"incomplete","counted":0})");

    // A first customer ended in test mode counts.
    s.arrow("HScroll1", -1);
    s.click("Command5");
    LmsReport r = lmsReport(s.sitting().cases(), readLaunchData(test));
    ASSERT_EQ(r.interactions.size(), 1u);
    // Copied: the record's list grows with each customer.
    const CaseRecord first = s.sitting().cases()[0];
    const std::string digits = first.code.digits();
    EXPECT_EQ(r.interactions[0].id, digits.substr(0, 4) + "-" + digits.substr(4) + "_1");
    EXPECT_EQ(r.interactions[0].score, first.result().residual.score);
    EXPECT_EQ(r.interactions[0].mode, "test");
    EXPECT_EQ(r.interactions[0].response, "S+0.25 C0.00 A90");
    EXPECT_EQ(r.status, "incomplete");
    EXPECT_EQ(r.counted, 1);
    EXPECT_EQ(r.score, std::to_string(first.result().residual.score));

    // The next customer is looked at in practice mode and ended back in test mode: reported,
    // but it earns nothing.
    s.click("STARTbutton");
    s.select("Option11");
    s.select("Option10");
    s.click("Command5");
    r = lmsReport(s.sitting().cases(), readLaunchData(test));
    ASSERT_EQ(r.interactions.size(), 2u);
    EXPECT_EQ(r.interactions[1].id, digits.substr(0, 4) + "-" + digits.substr(4) + "_2");
    EXPECT_EQ(r.counted, 1);
    EXPECT_EQ(r.status, "incomplete");

    // A third, in test mode throughout, completes the exercise; the score is the average of the two.
    s.click("STARTbutton");
    s.click("Command5");
    r = lmsReport(s.sitting().cases(), readLaunchData(test));
    const int a = s.sitting().cases()[0].result().residual.score;
    const int b = s.sitting().cases()[2].result().residual.score;
    EXPECT_EQ(r.counted, 2);
    EXPECT_EQ(r.score, shortestDecimal((a + b) / 2.0));
    EXPECT_EQ(r.status, "completed");
    EXPECT_EQ(lmsReport(s.sitting().cases(), readLaunchData(test + "&mastery=100")).status,
              (a + b) / 2.0 >= 100 ? "passed" : "failed");
    EXPECT_EQ(lmsReport(s.sitting().cases(), readLaunchData(test + "&mastery=0")).status, "passed");
    // Practice mode counting: none of these was played in it.
    EXPECT_EQ(lmsReport(s.sitting().cases(), readLaunchData("mode=practice")).counted, 0);
    // The class's code set by the teacher: another code's customers do not count.
    EXPECT_EQ(lmsReport(s.sitting().cases(), readLaunchData(test + "&case=014S-C0PJ-V")).counted, 0);
    EXPECT_EQ(lmsReport(s.sitting().cases(), readLaunchData(test + "&case=" + first.code.text())).counted, 2);
}
