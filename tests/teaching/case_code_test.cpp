// Case codes as people type them, and the customers a code gives.

#include "app/teaching/case_code.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/test_support.h"

namespace {

TEST(CaseCode, WritesDigitsMostSignificantFirstAndTheCheckSymbol) {
    EXPECT_EQ(CaseCode(0).text(), "0000-0000-0");
    EXPECT_EQ(CaseCode(1).text(), "0000-0001-1");
    EXPECT_EQ(CaseCode(31).text(), "0000-000Z-Z");
    EXPECT_EQ(CaseCode(1234567890).text(), "014S-C0PJ-V");
    EXPECT_EQ(CaseCode(CaseCode::kLimit - 1).text(), "ZZZZ-ZZZZ-F");
    // 32 to 36 take the five check symbols that are no digit.
    const std::string extra = "*~$=U";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CaseCode(32 + i).checkSymbol(), extra[i]);
    EXPECT_EQ(CaseCode(37).checkSymbol(), '0');
    // Numbers beyond 40 bits wrap rather than making a longer code.
    EXPECT_EQ(CaseCode(CaseCode::kLimit + 5), CaseCode(5));
}

TEST(CaseCode, ReadsBackWhatItWrites) {
    for (uint64_t n : {uint64_t{0}, uint64_t{36}, uint64_t{1234567890}, uint64_t{0x0123456789}, CaseCode::kLimit - 1}) {
        const auto parsed = CaseCode::parse(CaseCode(n).text());
        ASSERT_TRUE(parsed) << n;
        EXPECT_EQ(parsed->number(), n);
    }
    for (uint64_t n = 0; n < 3000; ++n) {
        const uint64_t spread = n * 366'503'875'925ULL % CaseCode::kLimit;
        ASSERT_EQ(CaseCode::parse(CaseCode(spread).text()), CaseCode(spread)) << spread;
    }
}

TEST(CaseCode, ReadsCodesAsPeopleTypeThem) {
    const CaseCode code(1234567890);  // 014S-C0PJ-V
    for (const char* typed : {"014S-C0PJ-V", "014sc0pjv", " 014s c0pj v ", "014S--C0PJ-v", "O14S-COPJ-V", "0I4S-C0PJ-V",
                              "0l4S-C0PJ-V", "０１４Ｓ－Ｃ０ＰＪ－Ｖ", "014S　C0PJ　V", "014S−C0PJ−V", "014SーC0PJーV"})
        EXPECT_EQ(CaseCode::parse(typed), code) << typed;
    // Crockford's I and L read as 1 in the check symbol too; U is a check symbol only.
    EXPECT_EQ(CaseCode::parse("0000-0001-i"), CaseCode(1));
    EXPECT_EQ(CaseCode::parse("0000-0014-u"), CaseCode(36));
    EXPECT_EQ(CaseCode::parse("0000-0010-*"), CaseCode(32));
    // A file name writes the check symbol '*' as '_': read back, in either width.
    EXPECT_EQ(CaseCode::parse("0000-0010-_"), CaseCode(32));
    EXPECT_EQ(CaseCode::parse("0000-0010-＿"), CaseCode(32));
}

TEST(CaseCode, RefusesWrongLengthSymbolsAndCheck) {
    for (const char* typed : {"", "014S-C0PJ", "014S-C0PJ-", "014S-C0PJ-VV", "0014S-C0PJ-V", "014S-C0PJ-W",
                              "014U-C0PJ-V", "014*-C0PJ-V", "014S_C0PJ-V", "014S.C0PJ.V", "014S-C0PJ-\xE3\x81",
                              "014S-C0PJ-\xFF", "014S-C0PJ-あ", "0000-0011-_", "0000-001_-*"})
        EXPECT_FALSE(CaseCode::parse(typed)) << typed;
}

TEST(CaseCode, EverySingleTypoAndSwapOfNeighboursIsCaught) {
    const std::string digits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    for (uint64_t n : {uint64_t{1234567890}, uint64_t{0x0123456789}, CaseCode::kLimit - 1}) {
        const CaseCode code(n);
        const std::string d = code.digits();
        const std::string check(1, code.checkSymbol());
        for (size_t i = 0; i < d.size(); ++i) {
            for (char c : digits) {
                if (c == d[i]) continue;
                std::string typo = d;
                typo[i] = c;
                EXPECT_FALSE(CaseCode::parse(typo + check)) << typo << check;
            }
            if (i + 1 < d.size() && d[i] != d[i + 1]) {
                std::string swapped = d;
                std::swap(swapped[i], swapped[i + 1]);
                EXPECT_FALSE(CaseCode::parse(swapped + check)) << swapped << check;
            }
        }
    }
}

TEST(CaseCode, FromTheClockIsACodeThatReadsBack) {
    const CaseCode fresh = CaseCode::fromClock();
    EXPECT_LT(fresh.number(), CaseCode::kLimit);
    EXPECT_EQ(CaseCode::parse(fresh.text()), fresh);
}

// ------------------------------------------------------------------ customers from a code

// A customer as the window shows it: hidden correction and auto-refractor reading.
using Customer = std::tuple<float, float, float, std::string>;

// Plays `count` customers of `code` in a real window: each new customer starts its own stream.
// `between` runs after each customer appeared.
template <class Between>
std::vector<Customer> customersOf(CaseCode code, int count, Between between) {
    FakePlatform platform;
    CodeRandom random(code);
    Form1 form(platform, random.customerSource(), random.dialSource());
    form.Form_Load();
    std::vector<Customer> out;
    for (int n = 0; n < count; ++n) {
        if (n > 0) {
            form.Command5.userClick();
            form.STARTbutton.userClick();
        }
        out.emplace_back(form.seikaiS, form.seikaiC, form.seikaiA, form.Label17.caption);
        between(form, random, n);
    }
    return out;
}

std::vector<Customer> customersOf(CaseCode code, int count) {
    return customersOf(code, count, [](Form1&, CodeRandom&, int) {});
}

TEST(CodeRandom, OneCodeGivesTheSameCustomersAndAnotherCodeOthers) {
    const CaseCode code = *CaseCode::parse("014S-C0PJ-V");
    const auto first = customersOf(code, 50);
    EXPECT_EQ(customersOf(code, 50), first);

    const auto other = customersOf(CaseCode(code.number() + 1), 50);
    int same = 0;
    for (size_t i = 0; i < first.size(); ++i) same += first[i] == other[i];
    EXPECT_LE(same, 1);

    // The customers vary within one code too.
    std::set<Customer> distinct(first.begin(), first.end());
    EXPECT_GE(distinct.size(), 45u);
}

TEST(CodeRandom, TheNthCustomerDoesNotDependOnWhatWasDoneBefore) {
    const CaseCode code(0x0123456789);
    const auto quiet = customersOf(code, 12);
    // The same sitting with questions, dial guesses, modes and lens changes in between.
    const auto busy = customersOf(code, 12, [](Form1& f, CodeRandom& r, int n) {
        for (int i = 0; i < n % 5 + 1; ++i) r.dialDraw();
        f.Option7.userSelect();
        f.Option2.userSelect();
        f.Command6.userClick();
        f.HScroll1.userTrack(n % 2 ? 1 : -1);
        f.Command2.userClick();
        f.Command3.userClick();
    });
    EXPECT_EQ(busy, quiet);

    // Started directly, customer 7 is the seventh of the sitting.
    CodeRandom direct(code);
    direct.startCustomer(7);
    CodeRandom played(code);
    for (int i = 0; i < 30; ++i) played.dialDraw();
    played.startCustomer(2);
    for (int i = 0; i < 9; ++i) played.customerDraw();
    played.startCustomer(7);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(played.customerDraw(), direct.customerDraw()) << i;
}

TEST(CodeRandom, TheDialStreamIsItsOwn) {
    CodeRandom a(CaseCode(77)), b(CaseCode(77));
    for (int i = 0; i < 5; ++i) b.customerDraw();
    b.startCustomer(3);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(a.dialDraw(), b.dialDraw()) << i;
        b.customerDraw();
    }
}

TEST(CodeRandom, DrawsAre24BitFractionsBelowOne) {
    CodeRandom r(CaseCode(CaseCode::kLimit - 1));
    for (int i = 0; i < 20000; ++i) {
        for (float u : {r.customerDraw(), r.dialDraw()}) {
            ASSERT_GE(u, 0.0f);
            ASSERT_LT(u, 1.0f);
            const float scaled = u * 0x1p24f;
            ASSERT_EQ(scaled, static_cast<float>(static_cast<uint32_t>(scaled)));
        }
        if (i % 7 == 0) r.nextCustomer();
    }
}

// Codes are shared between people, machines and versions: a code must keep its customers.
TEST(CodeRandom, ACodeKeepsItsCustomersFromVersionToVersion) {
    const auto customers = customersOf(*CaseCode::parse("014S-C0PJ-V"), 3);
    const std::vector<Customer> pinned = {{-3.25f, -1.0f, 174.0f, "Ｓ-3.25Ｄ Ｃ-1.25Ｄ Ａ174° です。"},
                                          {2.75f, -1.25f, 1.0f, "Ｓ+2.75Ｄ Ｃ-1.50Ｄ Ａ177° です。"},
                                          {3.0f, -0.5f, 71.0f, "Ｓ+2.25Ｄ Ｃ-1.00Ｄ Ａ73° です。"}};
    EXPECT_EQ(customers, pinned);
}

}  // namespace
