#include "app/window/accessibility.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/form1/form1.h"
#include "optics/trig.h"

namespace {

bool isIrreversible(const Form1& form, const Control& c) { return &c == &form.Command1 || &c == &form.Command5; }

// The control an action leads on to when it hides or disables the one that ran it.
const Control* nextAfter(const Form1& form, const Control& acted) {
    if (&acted == &form.STARTbutton) return &form.Command6;
    if (&acted == &form.Command4) return &form.Command2;
    if (&acted == &form.Command2) return &form.HScroll4;
    if (&acted == &form.Command5) return &form.STARTbutton;
    return nullptr;
}

double channel(int v) {
    const double c = std::clamp(v, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : trig::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const Rgb& c) { return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b); }

}  // namespace

bool isTabStop(const Form1& form, const Control& c) {
    if (!c.takesInput()) return false;
    if (c.kind() != Kind::Option) return true;
    // One stop per group: the selected button that can be operated, or else the first that can.
    const OptionButton* selected = nullptr;
    const OptionButton* first = nullptr;
    for (const Control* o : form.tabOrder()) {
        if (o->kind() != Kind::Option || o->container() != c.container() || !o->takesInput()) continue;
        const auto* option = static_cast<const OptionButton*>(o);
        if (!first) first = option;
        if (option->selected()) selected = option;
    }
    return &c == (selected ? selected : first);
}

const Control* focusAfterAction(const Form1& form, const Control* focused) {
    if (focused && isTabStop(form, *focused)) return focused;
    if (focused)
        if (const Control* next = nextAfter(form, *focused); next && isTabStop(form, *next)) return next;
    for (const Control* c : form.tabOrder())
        if (!isIrreversible(form, *c) && isTabStop(form, *c)) return c;
    return nullptr;
}

namespace {

// How a readout shows a bar position: the lens the bar gives (a quarter dioptre per step), or an
// axis with 0 read as 180, the same direction.
struct Unit {
    bool axis;
    double (*dioptres)(int position);  // dioptres only
};
constexpr double kDioptreStep = 0.25;
constexpr Unit kSphere{false, phoropterSphere}, kCylinder{false, phoropterCylinder}, kAxis{true, nullptr};

double readoutNumber(const Unit& u, int position) {
    if (!u.axis) return u.dioptres(position) + 0.0;  // + 0.0: no minus zero
    const int degrees = phoropterAxis(position);
    return degrees == 0 ? 180 : degrees;
}

// Each scroll bar, what it sets, the label that shows its setting, and in which unit.
struct Bar {
    HScrollBar Form1::*bar;
    const char* name;
    Label Form1::*readout;
    Unit unit;
};
constexpr Bar kBars[] = {{&Form1::HScroll1, "球面度数", &Form1::Label4, kSphere},
                         {&Form1::HScroll2, "円柱度数", &Form1::Label6, kCylinder},
                         {&Form1::HScroll3, "乱視軸", &Form1::Label8, kAxis},
                         {&Form1::HScroll4, "クロスシリンダーの中間軸", &Form1::Label3, kAxis}};

// Each chart picture and the option button that chooses it, whose caption names the chart.
struct ChartPicture {
    Image Form1::*image;
    OptionButton Form1::*option;
};
constexpr ChartPicture kCharts[] = {{&Form1::Image1, &Form1::Option5},
                                    {&Form1::Image2, &Form1::Option6},
                                    {&Form1::Image3, &Form1::Option7},
                                    {&Form1::Image4, &Form1::Option8}};

const Bar* barOf(const Form1& form, const Control& c) {
    for (const Bar& b : kBars)
        if (&(form.*b.bar) == &c) return &b;
    return nullptr;
}

}  // namespace

std::string accessibleName(const Form1& form, const Control& c) {
    if (const Bar* b = barOf(form, c)) return b->name;
    for (const ChartPicture& chart : kCharts)
        if (&(form.*chart.image) == &c) return (form.*chart.option).caption;
    return {};
}

bool isPerceivable(const Control& c) {
    for (const Control* at = &c; at; at = at->container())
        if (!at->visible) return false;
    return true;
}

std::optional<ReadoutScale> readoutScale(const Form1& form, const Control& c) {
    const Bar* b = barOf(form, c);
    if (!b) return std::nullopt;
    const HScrollBar& bar = form.*b->bar;
    ReadoutScale s;
    s.value = readoutNumber(b->unit, bar.value());
    if (b->unit.axis) {
        s.minimum = 1;
        s.maximum = 180;
        s.step = 1;
    } else {
        const double a = readoutNumber(b->unit, bar.min), z = readoutNumber(b->unit, bar.max);
        s.minimum = std::min(a, z);
        s.maximum = std::max(a, z);
        s.step = kDioptreStep;
    }
    return s;
}

int positionForReadout(const Form1& form, const HScrollBar& bar, double number) {
    const Bar* b = barOf(form, bar);
    if (!b) return bar.value();
    int best = bar.value();
    double bestDistance = INFINITY;
    for (int p = bar.min; p <= bar.max; ++p)
        if (const double d = std::abs(readoutNumber(b->unit, p) - number); d < bestDistance) {
            best = p;
            bestDistance = d;
        }
    return best;
}

std::string announcementAfter(const Form1& form, const Control& acted) {
    if (&acted == &form.Command6 && isPerceivable(form.Label16)) return form.Label16.caption;
    return {};
}

const Label* readoutOf(const Form1& form, const Control& c) {
    const Bar* b = barOf(form, c);
    return b ? &(form.*b->readout) : nullptr;
}

int axisDirection(const Line& line) {
    // Screen y runs downwards; directions count counter-clockwise from the right.
    const double degrees = trig::atan2(-(line.y2 - line.y1), line.x2 - line.x1) * 180 / std::numbers::pi;
    int axis = static_cast<int>(std::lround(degrees)) % 180;
    if (axis <= 0) axis += 180;
    return axis;
}

std::string phoropterDescription(const Form1& form) {
    std::string text = "乱視軸の印：" + std::to_string(axisDirection(form.Line1)) + "°の方向";
    if (form.Line3.visible) {
        text += "。クロスシリンダー：持ち手は" + std::to_string(axisDirection(form.Line3)) + "°の方向";
        if (form.Label20.visible) text += "、" + form.Label20.caption + "を表示";
    }
    return text;
}

double contrastRatio(const Rgb& a, const Rgb& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb focusMarkColour(const Rgb& face) {
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    return contrastRatio(black, face) >= contrastRatio(white, face) ? black : white;
}

Rgb disabledCaptionColour(const Rgb& face) {
    for (int g = 255; g > 0; --g)
        if (Rgb grey{g, g, g}; luminance(grey) < luminance(face) && contrastRatio(grey, face) >= 3.5) return grey;
    return Rgb{0, 0, 0};
}
