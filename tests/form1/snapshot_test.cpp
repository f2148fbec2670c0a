// The window as data for the web view.

#include <gtest/gtest.h>

#include <string>

#include "app/web/json.h"
#include "app/web/page_sitting.h"
#include "app/web/window_data.h"
#include "app/window/accessibility.h"
#include "app/window/view_rules.h"
#include "tests/test_support.h"

namespace {

// The member of `json` that follows `"name":"<control>"` and starts with `key`, as text.
std::string memberOf(const std::string& json, const std::string& control, const std::string& key) {
    const auto at = json.find("\"name\":\"" + control + "\"");
    if (at == std::string::npos) return "<no control>";
    const auto k = json.find("\"" + key + "\":", at);
    const auto next = json.find("\"name\":", at + 1);
    if (k == std::string::npos || (next != std::string::npos && k > next)) return "<no member>";
    const auto from = k + key.size() + 3;
    if (json[from] == '[') return json.substr(from, json.find(']', from) + 1 - from);
    const auto to = json.find_first_of(",}", json[from] == '"' ? json.find('"', from + 1) : from);
    return json.substr(from, to - from);
}

}  // namespace

TEST(Snapshot, JsonStringsEscapeWhatJsonMustAndPassJapaneseThrough) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString("x\ny\x01"), "\"x\\u000ay\\u0001\"");
    EXPECT_EQ(jsonString("Ｓ-1.25Ｄ　°"), "\"Ｓ-1.25Ｄ　°\"");
}

TEST(Snapshot, DesignListsEveryControlWithPixelsTabIndexAndPictures) {
    TestForm t;
    const std::string design = designJson(*t);
    for (const Control* c : t->controls()) EXPECT_NE(design.find("\"name\":\"" + c->name() + "\""), std::string::npos);
    EXPECT_EQ(memberOf(design, "Form1", "width"), "878");
    EXPECT_EQ(memberOf(design, "Form1", "height"), "655");
    EXPECT_EQ(memberOf(design, "Frame5", "left"), "64");
    EXPECT_EQ(memberOf(design, "Option1", "container"), "\"Frame1\"");
    EXPECT_EQ(memberOf(design, "STARTbutton", "tabIndex"), "0");
    EXPECT_EQ(memberOf(design, "Option12", "tabIndex"), "23");
    EXPECT_EQ(memberOf(design, "Label1", "tabIndex"), "-1");
    EXPECT_EQ(memberOf(design, "Image1", "picture"), "\"acuity.png\"");
    EXPECT_EQ(memberOf(design, "HScroll4", "largeChange"), "15");
    EXPECT_EQ(memberOf(design, "Command5", "back"), "[255,255,0]");
    EXPECT_NE(design.find("\"children\":[\"Shape8\",\"Shape7\""), std::string::npos);
}

TEST(Snapshot, ActionsGoThroughTheUserPathAndReportEffectsOnce) {
    PageSitting s(42);
    std::string st = s.state();
    EXPECT_EQ(memberOf(st, "HScroll1", "value"), "40");
    EXPECT_EQ(memberOf(st, "Frame4", "visible"), "false");

    st = s.arrow("HScroll1", -1);
    EXPECT_EQ(memberOf(st, "HScroll1", "value"), "39");
    EXPECT_EQ(memberOf(st, "Label4", "caption"), "\"Ｓ+0.25Ｄ\"");
    st = s.track("HScroll1", +1);
    EXPECT_EQ(memberOf(st, "HScroll1", "value"), "43");
    st = s.release("HScroll1", 500);
    EXPECT_EQ(memberOf(st, "HScroll1", "value"), "80");

    // Refused while hidden: the cross cylinder's own bar before it is put in.
    st = s.arrow("HScroll4", 1);
    EXPECT_EQ(memberOf(st, "HScroll4", "value"), "90");
    // Wrong kinds and unknown names change nothing.
    EXPECT_EQ(s.click("HScroll1"), s.state());
    EXPECT_EQ(s.select("Nothing"), s.state());

    st = s.click("Command7");
    EXPECT_NE(st.find("\"prints\":1"), std::string::npos);
    EXPECT_NE(s.state().find("\"prints\":0"), std::string::npos);
    st = s.click("Command1");
    EXPECT_NE(st.find("\"end\":true"), std::string::npos);

    st = s.select("Option2");
    EXPECT_EQ(memberOf(st, "Option2", "selected"), "false");  // hidden at start
}

TEST(Snapshot, TheSameSeedMeetsTheSameCustomer) {
    PageSitting a(7), b(7), c(8);
    EXPECT_EQ(a.state(), b.state());
    EXPECT_NE(memberOf(a.state(), "Label17", "caption"), "");
    a.click("Command5");
    b.click("Command5");
    c.click("Command5");
    EXPECT_EQ(a.state(), b.state());
    EXPECT_NE(memberOf(a.state(), "Label7", "caption"), memberOf(c.state(), "Label7", "caption"));
}

TEST(Snapshot, DesignCarriesFocusMarkAndDisabledCaptionColoursForEachFace) {
    TestForm t;
    const std::string design = designJson(*t);
    // Black marks on the light faces, white on none of this window's; greys that keep 3.5:1.
    EXPECT_EQ(memberOf(design, "Command5", "focusMark"), "[0,0,0]");
    EXPECT_EQ(memberOf(design, "HScroll1", "focusMark"), "[0,0,0]");
    EXPECT_EQ(memberOf(design, "Option1", "focusMark"), "[0,0,0]");
    EXPECT_EQ(memberOf(design, "Label1", "focusMark"), "<no member>");
    for (const Control* c : t->controls()) {
        if (c->kind() != Kind::Button && c->kind() != Kind::Option && c->kind() != Kind::Frame) continue;
        const Rgb face = c->look.back.value_or(kButtonFace);
        const Rgb grey = disabledCaptionColour(face);
        std::string expected = "[";  // appended, clear of GCC 12's false -Wrestrict on "literal" + string
        expected.append(std::to_string(grey.r)).append(",").append(std::to_string(grey.g)).append(",");
        expected.append(std::to_string(grey.b)).append("]");
        EXPECT_EQ(memberOf(design, c->name(), "disabledCaption"), expected) << c->name();
        EXPECT_GE(contrastRatio(grey, face), 3.5) << c->name();
    }
    EXPECT_EQ(memberOf(design, "HScroll3", "accessibleName"), "\"乱視軸\"");
}

TEST(Snapshot, StateCarriesReadoutTextsPhoropterWordsAndTheFocusAfterAnAction) {
    PageSitting s(42);
    std::string st = s.arrow("HScroll1", -1);
    EXPECT_EQ(memberOf(st, "HScroll1", "valueText"), "\"Ｓ+0.25Ｄ\"");
    EXPECT_EQ(memberOf(st, "HScroll1", "valueText"), memberOf(st, "Label4", "caption"));
    EXPECT_EQ(memberOf(st, "HScroll3", "valueText"), memberOf(st, "Label8", "caption"));
    EXPECT_NE(st.find("\"phoropter\":" + jsonString(phoropterDescription(s.form()))), std::string::npos);

    // STARTbutton hides itself: the question button takes over; END never does.
    EXPECT_EQ(s.focusAfter("Option1"), "Option1");
    s.click("Command2");
    EXPECT_EQ(s.focusAfter("Command2"), "HScroll4");
    st = s.state();
    EXPECT_EQ(memberOf(st, "HScroll4", "valueText"), memberOf(st, "Label3", "caption"));
    EXPECT_NE(st.find("クロスシリンダー"), std::string::npos);
    s.click("Command4");
    EXPECT_EQ(s.focusAfter("Command4"), "Command2");
    s.click("Command5");
    EXPECT_EQ(s.focusAfter("Command5"), "STARTbutton");
    s.click("STARTbutton");
    EXPECT_EQ(s.focusAfter("STARTbutton"), "Command6");
    EXPECT_NE(s.focusAfter(""), "");
}
