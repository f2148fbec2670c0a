// The web sitting's panel entries: the code a page starts with, a typed code, the panel's
// data around the end of a case, the customer's view and the CSV.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/teaching/journal.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/review.h"
#include "app/web/page_sitting.h"

namespace {

bool has(const std::string& json, const std::string& part) { return json.find(part) != std::string::npos; }

}  // namespace

TEST(PageSitting, TheAddressesCodeIsPlayedAndABadOneSaysSoAndKeepsTheSeeds) {
    PageSitting typed(5, "014s-c0pj-v");
    EXPECT_EQ(typed.sitting().code().text(), "014S-C0PJ-V");
    EXPECT_EQ(typed.sitting().cases().size(), 1u);  // no customer of the seed's code before it
    EXPECT_TRUE(has(typed.panel(), "\"code\":\"問題コード 014S-C0PJ-V\",\"message\":\"\""));

    PageSitting bad(5, "014S-C0PJ-X");
    EXPECT_EQ(bad.sitting().code(), CaseCode(5));
    EXPECT_TRUE(has(bad.panel(), std::string("\"message\":\"") + kBadCaseCodeMessage + "\""));
    EXPECT_EQ(PageSitting(5).state(), PageSitting(5, "").state());
}

TEST(PageSitting, ATypedCodeIsRefusedWhenBadAndAsksBeforeAbandoningACustomer) {
    PageSitting s(5);
    EXPECT_EQ(s.startCode("0000-0001", false), "bad");
    EXPECT_EQ(s.sitting().code(), CaseCode(5));
    // Nothing done yet: nothing to lose.
    EXPECT_EQ(s.startCode("0000-0001-1", false), "ok");
    EXPECT_EQ(s.sitting().code(), CaseCode(1));
    s.click("Command2");
    EXPECT_EQ(s.startCode("014S-C0PJ-V", false), "confirm");
    EXPECT_EQ(s.sitting().code(), CaseCode(1));
    // The question is the panel's, in the core's words; いいえ keeps everything.
    EXPECT_TRUE(has(s.panel(), std::string("\"question\":\"") + panel_text::kAbandonQuestion + "\""));
    EXPECT_EQ(s.answerAbandon(false), "kept");
    EXPECT_TRUE(has(s.panel(), "\"question\":\"\""));
    EXPECT_EQ(s.startCode("0000-0001", false), "bad");  // the question gone, the message said
    EXPECT_TRUE(has(s.panel(), "\"question\":\"\""));
    EXPECT_EQ(s.startCode("014S-C0PJ-V", false), "confirm");
    EXPECT_TRUE(has(s.panel(), "\"message\":\"\""));
    EXPECT_EQ(s.answerAbandon(true), "ok");
    EXPECT_EQ(s.sitting().code().text(), "014S-C0PJ-V");
    PageSitting again(1);
    again.click("Command2");
    EXPECT_EQ(again.startCode("014S-C0PJ-V", true), "ok");
    EXPECT_EQ(again.sitting().code().text(), "014S-C0PJ-V");
    EXPECT_EQ(s.sitting().cases().front().status, CaseStatus::Abandoned);
    // The fresh window is that code's, as at a start with it.
    PageSitting fresh(0, "014S-C0PJ-V");
    EXPECT_EQ(s.click("Command2"), fresh.click("Command2"));
}

TEST(PageSitting, ThePanelHidesTheReviewInTestModeUntilTheEndAndAnnouncesTheEndOnce) {
    PageSitting s(5);
    s.arrow("HScroll1", 1);
    EXPECT_TRUE(has(s.panel(), "\"review\":null"));
    EXPECT_EQ(s.plot(), "null");
    EXPECT_EQ(s.announcement(), "");
    s.click("Command5");
    const std::string ended = s.panel();
    EXPECT_TRUE(has(ended, "\"current\":0"));
    EXPECT_EQ(s.announcement(), endAnnouncement(s.sitting().cases().back()));
    EXPECT_EQ(s.announcement().rfind("測定終了　", 0), 0u);
    EXPECT_TRUE(
        has(s.plot(), "\"width\":480,\"height\":260,\"area\":[56,14,436,230],\"paper\":\"rgb(255, 255, 255)\""));
    s.click("Command7");  // print: no end any more
    EXPECT_EQ(s.announcement(), "");
    // The page is sent only what it reads.
    EXPECT_FALSE(has(s.panel(), "\"announce\""));
    EXPECT_TRUE(has(PageSitting::panelTexts(), "\"no\":\"いいえ\""));  // the panel's own question
}

TEST(PageSitting, TheCustomersViewIsComputedOnlyWhileShownAndItsVersionFollowsItsInputs) {
    PageSitting s(5);
    EXPECT_EQ(s.customerView(), "[]");  // test mode, measuring
    EXPECT_EQ(s.picture(0), nullptr);
    s.select("Option11");
    const std::string practice = s.panel();
    EXPECT_TRUE(has(practice, "\"view\":{\"shown\":true,\"version\":1}"));
    s.select("Option2");  // a question chosen changes nothing of the picture
    EXPECT_TRUE(has(s.panel(), "\"version\":1"));
    s.arrow("HScroll1", 1);
    EXPECT_TRUE(has(s.panel(), "\"version\":2"));
    EXPECT_TRUE(has(s.customerView(), "\"description\":\"見え方のイメージ：視力表、レンズ "));
    ASSERT_NE(s.picture(0), nullptr);
    EXPECT_EQ(s.picture(0)->rgba.size(), static_cast<size_t>(s.picture(0)->width * s.picture(0)->height * 4));
    s.click("Command2");
    s.customerView();
    EXPECT_NE(s.picture(1), nullptr);
}

TEST(PageSitting, TheCsvIsTheSittingsWithItsNameAndSavingIsRemembered) {
    PageSitting s(0, "014S-C0PJ-V");
    EXPECT_FALSE(s.unsaved());
    s.click("Command5");
    EXPECT_TRUE(s.unsaved());
    s.setTraineeName("\t山田　花子　");
    EXPECT_EQ(s.csv(), sittingCsv(s.sitting().cases(), "山田　花子", s.sitting().procedureFigures()));
    EXPECT_EQ(s.csv().substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(s.csvFileName().rfind("記録_014S-C0PJ-V_山田　花子_", 0), 0u) << s.csvFileName();
    EXPECT_NE(s.panel().find("\"name\":\"山田　花子\""), std::string::npos);
    s.markSaved();
    EXPECT_FALSE(s.unsaved());
}

TEST(PageSitting, ThePanelSendsOnlyTheReviewRowsAfterThoseTheViewShowsOfTheSameCase) {
    PageSitting s(5);
    s.select("Option11");
    s.arrow("HScroll1", 1);
    const std::string whole = s.panel();
    const std::string name = "0 " + s.sitting().code().text() + " 0";
    EXPECT_TRUE(has(whole, "\"case\":\"" + name + "\",\"from\":0,\"rows\":[[\"0\","));
    const size_t shown = s.sitting().cases().back().steps.size();
    s.arrow("HScroll1", 1);
    const std::string more = s.panel(name, static_cast<int>(shown));
    EXPECT_TRUE(has(more, "\"from\":" + std::to_string(shown) + ",\"rows\":[[\"" + std::to_string(shown) + "\","));
    EXPECT_FALSE(has(more, "[\"0\","));
    EXPECT_TRUE(has(more, "\"plotText\":\"" + std::to_string(shown) + " "));
    // Rows of another case, or more rows than the case has: all of them again.
    EXPECT_TRUE(has(s.panel("1 " + s.sitting().code().text() + " 0", 1), "\"from\":0"));
    EXPECT_TRUE(has(s.panel(name, 1000), "\"from\":0"));
    EXPECT_TRUE(has(s.panel(name, -1), "\"from\":0"));
}

TEST(PageSitting, KeepingHandsOverEachJournalLineOnceAndTheNoteSaysWhereTheRecordLives) {
    PageSitting s(7);
    s.select("Option11");
    s.click("Command2");
    EXPECT_EQ(s.keptLines(), "");  // not kept: nothing collected
    EXPECT_TRUE(has(s.panel(), std::string("\"note\":\"") + panel_text::kUnsavedNote + "\""));
    s.keep(true);
    EXPECT_TRUE(has(s.panel(), std::string("\"note\":\"") + panel_text::kKeptNote + "\""));
    const std::string before = s.journal();
    s.arrow("HScroll1", 1);
    s.setTraineeName("山田");
    EXPECT_NE(s.hint(), "");
    const std::string lines = s.keptLines();
    EXPECT_EQ(before + lines, s.journal());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
    EXPECT_EQ(s.keptLines(), "");
    s.markSaved();
    EXPECT_EQ(s.keptLines().substr(0, 2), "s ");
    EXPECT_EQ(s.startCode("014S-C0PJ-V", true), "ok");
    EXPECT_EQ(s.keptLines().substr(0, 2), "c ");
    s.keep(false);
    s.arrow("HScroll1", 1);
    EXPECT_EQ(s.keptLines(), "");
}

TEST(PageSitting, TheNewestUnsavedSittingIsOfferedAndResumedExactlyTheRestSetAsideOrRemoved) {
    PageSitting old(9);
    old.keep(true);
    old.select("Option11");
    old.arrow("HScroll1", 1);
    old.click("Command3");
    old.arrow("HScroll4", -1);
    old.click("Command5");
    old.click("STARTbutton");
    old.setTraineeName("佐藤");
    old.select("Option7");
    old.click("Command6");
    const std::string journal = old.journal();
    PageSitting saved(4);
    saved.click("Command2");
    saved.markSaved();

    PageSitting s(0);
    s.keep(true);
    s.keptFound(true, "");                                      // another tab's: left alone
    s.keptFound(false, journal);                                // the newest one free: offered
    s.keptFound(false, journal.substr(0, journal.size() - 5));  // truncated
    s.keptFound(false, "refraction-trainer sitting 2\n");       // newer
    s.keptFound(false, PageSitting(3).journal());               // started, never touched
    s.keptFound(false, saved.journal());
    EXPECT_EQ(s.reviewKept(true), R"({"offered":1,"aside":[[2,1],[3,3]],"remove":[4],"pruned":""})");
    EXPECT_TRUE(s.resumeOffered());
    EXPECT_FALSE(s.resumeOffered());  // offered once
    EXPECT_EQ(s.keptLines(), "");     // nothing of the replay is new
    EXPECT_EQ(s.journal(), journal);
    EXPECT_EQ(windowFingerprint(s.form()), windowFingerprint(old.form()));
    // The same panel, but for the version of the customer's view, which only the page follows.
    const auto panelOf = [](const PageSitting& p) {
        const std::string j = p.panel();
        return j.substr(0, j.find("\"view\":"));
    };
    EXPECT_EQ(panelOf(s), panelOf(old));
    EXPECT_EQ(s.csv(), old.csv());
    EXPECT_EQ(s.state(), old.state());
    // It goes on as the old one would have.
    EXPECT_EQ(s.click("Command6"), old.click("Command6"));

    // Without an offer (a code of its own), or with nothing unsaved: nothing offered.
    PageSitting fresh(0);
    fresh.keptFound(false, journal);
    EXPECT_EQ(fresh.reviewKept(false), R"({"offered":null,"aside":[],"remove":[],"pruned":""})");
    EXPECT_FALSE(fresh.resumeOffered());
    // More than 20 saved sittings: the oldest go, and the panel is to say so.
    for (int i = 0; i < 22; ++i) fresh.keptFound(false, saved.journal());
    EXPECT_EQ(fresh.reviewKept(true),
              std::string(R"({"offered":null,"aside":[],"remove":[21,20],"pruned":")") + prunedMessage(2) + "\"}");
    EXPECT_EQ(PageSitting::setAsideMessage(1, "k"), setAsideMessage(JournalProblem::Truncated, "k"));
    EXPECT_EQ(PageSitting::setAsideMessage(99, "k"), setAsideMessage(JournalProblem::Corrupt, "k"));
}

TEST(PageSitting, ASittingThatDoesNotPlayBackLeavesAFreshSittingInTheWindow) {
    PageSitting old(9);
    old.click("Command2");
    old.arrow("HScroll1", 1);
    std::string journal = old.journal();
    // Another window after the last input than the one kept: not to be trusted.
    journal[journal.size() - 2] = journal[journal.size() - 2] == '0' ? '1' : '0';
    PageSitting s(9);
    s.keep(true);
    s.keptFound(false, journal);
    EXPECT_TRUE(has(s.reviewKept(true), R"("offered":0)"));
    EXPECT_FALSE(s.resumeOffered());
    EXPECT_TRUE(s.sitting().cases().front().steps.size() == 1);
    EXPECT_EQ(s.journal().find("\ni "), std::string::npos);
    EXPECT_EQ(s.keptLines(), "");
}
