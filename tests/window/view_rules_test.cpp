// What both views draw the same way: fonts, caption lines, circle insets, and the design and
// state data that carry them to the web view.

#include <gtest/gtest.h>

#include <string>

#include "app/web/page_sitting.h"
#include "app/web/window_data.h"
#include "app/window/view_rules.h"
#include "tests/test_support.h"

TEST(ViewRules, FontsWrapsAndLines) {
    TestForm f;
    EXPECT_EQ(resolvedFont(f->Command7).family, kPGothic) << "the window's default font";
    EXPECT_EQ(resolvedFont(f->Command7).points, 9);
    EXPECT_EQ(resolvedFont(f->Command5).family, kGothic);
    EXPECT_EQ(fontPixels(resolvedFont(f->Label23)), 27);
    // Two lines of the font fit: 25 pixels hold two of 12, 17 do not.
    EXPECT_TRUE(captionWraps(f->Option4));
    EXPECT_FALSE(captionWraps(f->Option1));
    EXPECT_TRUE(captionWraps(f->Label16));
    EXPECT_FALSE(captionWraps(f->Label23));  // 33 pixels for a 27-pixel font
    // The end button breaks between its phrases, not where the box happens to end.
    EXPECT_EQ(captionLines(f->Command5.caption), (std::vector<std::string>{"測定終了", "正解は？"}));
    EXPECT_EQ(captionLines(f->Command6.caption), std::vector<std::string>{"質問する"});
    // The border lies inside the box; borderless discs fill it.
    EXPECT_EQ(circleInset(f->Shape3), 22.5);
    EXPECT_EQ(circleInset(f->Shape1), 15);
    EXPECT_EQ(circleInset(f->Shape2), 0);
}

TEST(ViewRules, DesignAndStateCarryThemToTheWebView) {
    PageSitting s(3);
    const std::string design = s.design();
    EXPECT_NE(design.find("\"twipsPerPixel\":15,\"buttonFace\":[240,240,240],\"windowText\":[0,0,0]"),
              std::string::npos);
    EXPECT_NE(design.find(
                  "\"font\":{\"family\":\"ＭＳ Ｐゴシック\",\"points\":9,\"bold\":false,\"pixels\":12},\"wrap\":true"),
              std::string::npos)
        << "Command7 names no font and takes the default";
    EXPECT_NE(design.find("\"hasBorder\":true,\"inset\":22.5"), std::string::npos);

    std::string state = s.state();
    EXPECT_NE(state.find("\"caption\":\"測定終了正解は？\",\"lines\":[\"測定終了\",\"正解は？\"]"), std::string::npos);
    EXPECT_NE(state.find("\"name\":\"Option1\",\"caption\":\"視力表、どこまで見えますか？\",\"visible\":true,"
                         "\"enabled\":true,\"takesInput\":true,\"selected\":true,\"arrowPrevious\":\"Option4\","
                         "\"arrowNext\":\"Option4\""),
              std::string::npos);
    EXPECT_NE(state.find("\"firstFocus\":\"Option1\""), std::string::npos);
    // Its frame is hidden: shown in itself, but out of reach.
    EXPECT_NE(state.find("\"name\":\"HScroll4\",\"visible\":true,\"enabled\":true,\"takesInput\":false,\"value\":90,"
                         "\"valueText\":\"Ａ90°\",\"greyed\":false"),
              std::string::npos);
    // After the end of a test, every frame is disabled: the bars go grey, nothing takes input.
    state = s.click("Command5");
    EXPECT_NE(state.find("\"name\":\"HScroll1\",\"visible\":true,\"enabled\":true,\"takesInput\":false"),
              std::string::npos);
    EXPECT_NE(state.find("\"greyed\":true"), std::string::npos);
    EXPECT_NE(state.find("\"firstFocus\":\"STARTbutton\""), std::string::npos);
}
