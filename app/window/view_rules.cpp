#include "app/window/view_rules.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/form1/form1.h"
#include "app/window/accessibility.h"

const FontSpec& resolvedFont(const Control& c) { return c.look.font.family.empty() ? kDefaultFont : c.look.font; }

double fontPixels(const FontSpec& font) { return font.points * 96 / 72; }

bool captionWraps(const Control& c) { return c.height / kTwipsPerPixel >= 2 * std::round(fontPixels(resolvedFont(c))); }

std::vector<std::string> captionLines(const std::string& caption) {
    // The window's button captions that are two phrases, one a line.
    static const std::pair<const char*, std::vector<std::string>> kPhrased[] = {
        {"測定終了正解は？", {"測定終了", "正解は？"}},
        {"クロスシリンダーをはずす", {"クロスシリンダーを", "はずす"}},
    };
    for (const auto& [text, lines] : kPhrased)
        if (caption == text) return lines;
    return {caption};
}

double circleInset(const Circle& c) { return c.hasBorder ? c.look.borderWidth * kTwipsPerPixel / 2 : 0; }

const Control* firstFocus(const Form1& form) {
    for (const Control* c : form.tabOrder())
        if (isTabStop(form, *c)) return c;
    return nullptr;
}

const OptionButton* arrowTarget(const Form1& form, const OptionButton& from, int step) {
    std::vector<const OptionButton*> group;
    for (const Control* c : form.tabOrder())
        if (c->kind() == Kind::Option && c->container() == from.container())
            group.push_back(static_cast<const OptionButton*>(c));
    const auto n = static_cast<int>(group.size());
    const auto at = static_cast<int>(std::find(group.begin(), group.end(), &from) - group.begin());
    if (at == n) return nullptr;
    for (int k = 1; k < n; ++k) {
        const OptionButton* next = group[static_cast<size_t>(((at + step * k) % n + n) % n)];
        if (next->takesInput()) return next;
    }
    return nullptr;
}
