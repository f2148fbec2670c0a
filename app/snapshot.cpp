#include "snapshot.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "accessibility.h"

namespace {

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Form:
        return "form";
    case Kind::Frame:
        return "frame";
    case Kind::Label:
        return "label";
    case Kind::Button:
        return "button";
    case Kind::Option:
        return "option";
    case Kind::HScroll:
        return "hscroll";
    case Kind::Image:
        return "image";
    case Kind::Circle:
        return "circle";
    case Kind::Line:
        return "line";
    }
    return "";
}

const char* systemName(SystemColour s) {
    switch (s) {
    case SystemColour::ButtonFace:
        return "buttonFace";
    case SystemColour::WindowText:
        return "windowText";
    case SystemColour::None:
        break;
    }
    return "";
}

const char* alignName(Align a) {
    switch (a) {
    case Align::Centre:
        return "centre";
    case Align::Right:
        return "right";
    case Align::Left:
        break;
    }
    return "left";
}

// A JSON object written member by member.
class Obj {
public:
    explicit Obj(std::string& out) : out_(out) { out_ += '{'; }
    ~Obj() { out_ += '}'; }
    Obj(const Obj&) = delete;
    Obj& operator=(const Obj&) = delete;

    std::string& key(const char* k) {
        if (!first_) out_ += ',';
        first_ = false;
        out_ += '"';
        out_ += k;
        out_ += "\":";
        return out_;
    }
    void str(const char* k, const std::string& v) { key(k) += jsonString(v); }
    void boolean(const char* k, bool v) { key(k) += v ? "true" : "false"; }
    void integer(const char* k, long long v) { key(k) += std::to_string(v); }
    // Twips are single precision; nine significant digits give them back exactly.
    void number(const char* k, float v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
        key(k) += buffer;
    }
    void colour(const char* k, const std::optional<Rgb>& c) {
        if (!c) {
            key(k) += "null";
            return;
        }
        std::string& out = key(k);
        out += '[';
        out += std::to_string(c->r);
        out += ',';
        out += std::to_string(c->g);
        out += ',';
        out += std::to_string(c->b);
        out += ']';
    }

private:
    std::string& out_;
    bool first_ = true;
};

// The file name of a picture resource (":/charts/acuity.png" is served as "acuity.png").
std::string pictureFile(const std::string& resource) {
    const auto slash = resource.find_last_of('/');
    return slash == std::string::npos ? resource : resource.substr(slash + 1);
}

int tabIndexOf(const Form1& form, const Control& c) {
    const auto& order = form.tabOrder();
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == &c) return static_cast<int>(i);
    return -1;
}

// What a control's caption and focus mark lie on: its own colour, else the button face.
Rgb faceOf(const Control& c) { return c.look.back.value_or(kWebButtonFace); }

void writeDesign(std::string& out, const Form1& form, const Control& c) {
    Obj o(out);
    o.str("kind", kindName(c.kind()));
    o.str("name", c.name());
    if (c.container())
        o.str("container", c.container()->name());
    else
        o.key("container") += "null";
    o.integer("left", pixelsOf(c.left));
    o.integer("top", pixelsOf(c.top));
    o.integer("width", pixelsOf(c.width));
    o.integer("height", pixelsOf(c.height));
    o.integer("tabIndex", tabIndexOf(form, c));
    {
        Obj look(o.key("look"));
        look.colour("fore", c.look.fore);
        look.colour("back", c.look.back);
        look.str("foreSystem", systemName(c.look.foreSystem));
        look.str("backSystem", systemName(c.look.backSystem));
        look.boolean("transparent", c.look.transparent);
        look.boolean("border", c.look.border);
        look.str("align", alignName(c.look.align));
        {
            Obj font(look.key("font"));
            font.str("family", c.look.font.family);
            font.number("points", static_cast<float>(c.look.font.points));
            font.boolean("bold", c.look.font.bold);
        }
        look.str("toolTip", c.look.toolTip);
        look.integer("borderWidth", c.look.borderWidth);
    }
    const bool takesFocus = c.kind() == Kind::Button || c.kind() == Kind::Option || c.kind() == Kind::HScroll;
    if (takesFocus) o.colour("focusMark", focusMarkColour(faceOf(c)));
    if (c.kind() == Kind::Button || c.kind() == Kind::Option || c.kind() == Kind::Frame)
        o.colour("disabledCaption", disabledCaptionColour(faceOf(c)));
    switch (c.kind()) {
    case Kind::Form:
    case Kind::Frame: {
        std::string& list = o.key("children");
        list += '[';
        const auto& kids = static_cast<const Frame&>(c).children;
        for (size_t i = 0; i < kids.size(); ++i) {
            if (i) list += ',';
            list += jsonString(kids[i]->name());
        }
        list += ']';
        break;
    }
    case Kind::HScroll: {
        const auto& s = static_cast<const HScrollBar&>(c);
        o.integer("min", s.min);
        o.integer("max", s.max);
        o.integer("smallChange", s.smallChange);
        o.integer("largeChange", s.largeChange);
        o.str("accessibleName", accessibleName(form, c));
        break;
    }
    case Kind::Image:
        o.str("picture", pictureFile(static_cast<const Image&>(c).picture));
        break;
    case Kind::Circle: {
        const auto& ci = static_cast<const Circle&>(c);
        o.integer("fillStyle", ci.fillStyle);
        o.colour("fillColour", ci.fillColour);
        o.str("fillSystem", systemName(ci.fillSystem));
        o.boolean("hasBorder", ci.hasBorder);
        break;
    }
    case Kind::Label:
    case Kind::Button:
    case Kind::Option:
    case Kind::Line:
        break;
    }
}

const std::string* captionOf(const Control& c) {
    switch (c.kind()) {
    case Kind::Form:
    case Kind::Frame:
        return &static_cast<const Frame&>(c).caption;
    case Kind::Label:
        return &static_cast<const Label&>(c).caption;
    case Kind::Button:
        return &static_cast<const CommandButton&>(c).caption;
    case Kind::Option:
        return &static_cast<const OptionButton&>(c).caption;
    case Kind::HScroll:
    case Kind::Image:
    case Kind::Circle:
    case Kind::Line:
        break;
    }
    return nullptr;
}

void writeState(std::string& out, const Form1& form, const Control& c) {
    Obj o(out);
    o.str("name", c.name());
    if (const std::string* caption = captionOf(c)) o.str("caption", *caption);
    o.boolean("visible", c.visible);
    o.boolean("enabled", c.enabled);
    switch (c.kind()) {
    case Kind::Option:
        o.boolean("selected", static_cast<const OptionButton&>(c).selected());
        break;
    case Kind::HScroll:
        o.integer("value", static_cast<const HScrollBar&>(c).value());
        if (const Label* readout = readoutOf(form, c)) o.str("valueText", readout->caption);
        break;
    case Kind::Circle:
        o.number("left", c.left);
        o.number("top", c.top);
        o.number("width", c.width);
        o.number("height", c.height);
        break;
    case Kind::Line: {
        const auto& l = static_cast<const Line&>(c);
        o.number("x1", l.x1);
        o.number("y1", l.y1);
        o.number("x2", l.x2);
        o.number("y2", l.y2);
        break;
    }
    case Kind::Form:
    case Kind::Frame:
    case Kind::Label:
    case Kind::Button:
    case Kind::Image:
        break;
    }
}

}  // namespace

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += ch;
        }
    }
    return out + '"';
}

RecordingPlatform::Effects RecordingPlatform::take() {
    Effects taken = std::move(pending_);
    pending_ = Effects{};
    return taken;
}

float SeededRandom::draw() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) * 0x1p-24f;
}

std::string designJson(const Form1& form) {
    std::string out = "[";
    bool first = true;
    for (const Control* c : form.controls()) {
        if (!first) out += ',';
        first = false;
        writeDesign(out, form, *c);
    }
    return out + ']';
}

std::string stateJson(const Form1& form, const RecordingPlatform::Effects& effects) {
    std::string out;
    {
        Obj o(out);
        {
            std::string& list = o.key("controls");
            list += '[';
            bool first = true;
            for (const Control* c : form.controls()) {
                if (!first) list += ',';
                first = false;
                writeState(list, form, *c);
            }
            list += ']';
        }
        o.str("phoropter", phoropterDescription(form));
        Obj e(o.key("effects"));
        e.integer("beeps", effects.beeps);
        e.integer("prints", effects.prints);
        e.boolean("end", effects.end);
        std::string& notices = e.key("notices");
        notices += '[';
        for (size_t i = 0; i < effects.notices.size(); ++i) {
            if (i) notices += ',';
            notices += jsonString(effects.notices[i]);
        }
        notices += ']';
    }
    return out;
}

Session::Session(uint64_t seed) {
    if (seed == 0)
        random_ = std::make_unique<ClockRandom>();
    else
        random_ = std::make_unique<SeededRandom>(seed);
    form_ = std::make_unique<Form1>(platform_, *random_);
    form_->Form_Load();
}

std::string Session::state() { return stateJson(*form_, platform_.take()); }

template <class T>
T* Session::find(const std::string& name, Kind kind) const {
    Control* c = form_->find(name);
    return c && c->kind() == kind ? static_cast<T*>(c) : nullptr;
}

std::string Session::click(const std::string& name) {
    if (auto* b = find<CommandButton>(name, Kind::Button)) b->userClick();
    return state();
}

std::string Session::select(const std::string& name) {
    if (auto* o = find<OptionButton>(name, Kind::Option)) o->userSelect();
    return state();
}

std::string Session::arrow(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userArrow(direction);
    return state();
}

std::string Session::track(const std::string& name, int direction) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userTrack(direction);
    return state();
}

std::string Session::release(const std::string& name, int value) {
    if (auto* s = find<HScrollBar>(name, Kind::HScroll)) s->userRelease(value);
    return state();
}

std::string Session::focusAfter(const std::string& focused) const {
    const Control* to = focusAfterAction(*form_, form_->find(focused));
    return to ? to->name() : std::string();
}
