#include "app/web/window_data.h"

#include <initializer_list>
#include <utility>

#include "app/web/json.h"
#include "app/window/accessibility.h"
#include "app/window/view_rules.h"

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
Rgb faceOf(const Control& c) { return c.look.back.value_or(kButtonFace); }

void writeDesign(std::string& out, const Form1& form, const Control& c) {
    JsonObject o(out);
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
        JsonObject look(o.key("look"));
        look.colour("fore", c.look.fore);
        look.colour("back", c.look.back);
        look.str("foreSystem", systemName(c.look.foreSystem));
        look.str("backSystem", systemName(c.look.backSystem));
        look.boolean("transparent", c.look.transparent);
        look.boolean("border", c.look.border);
        look.str("align", alignName(c.look.align));
        {
            JsonObject font(look.key("font"));
            font.str("family", c.look.font.family);
            font.number("points", static_cast<float>(c.look.font.points));
            font.boolean("bold", c.look.font.bold);
        }
        look.str("toolTip", c.look.toolTip);
        look.integer("borderWidth", c.look.borderWidth);
    }
    {
        const FontSpec& f = resolvedFont(c);
        JsonObject font(o.key("font"));
        font.str("family", f.family);
        font.number("points", static_cast<float>(f.points));
        font.boolean("bold", f.bold);
        font.number("pixels", static_cast<float>(fontPixels(f)));
    }
    if (c.kind() == Kind::Label || c.kind() == Kind::Button || c.kind() == Kind::Option)
        o.boolean("wrap", captionWraps(c));
    if (c.kind() == Kind::Form) {
        o.number("twipsPerPixel", static_cast<float>(kTwipsPerPixel));
        o.colour("buttonFace", kButtonFace);
        o.colour("windowText", kWindowText);
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
        o.number("inset", static_cast<float>(circleInset(ci)));
        break;
    }
    case Kind::Label:
    case Kind::Button:
    case Kind::Option:
    case Kind::Line:
        break;
    }
}

// Drawn as out of use: the control or a frame around it is disabled (hidden or not).
bool isGreyed(const Control& c) {
    for (const Control* at = &c; at != nullptr; at = at->container())
        if (!at->enabled) return true;
    return false;
}

void writeState(std::string& out, const Form1& form, const Control& c) {
    JsonObject o(out);
    o.str("name", c.name());
    if (const std::string* caption = captionOf(c)) o.str("caption", *caption);
    if (const std::string* caption = captionOf(c)) {
        if (const auto lines = captionLines(*caption); lines.size() > 1) o.strings("lines", lines);
    }
    o.boolean("visible", c.visible);
    o.boolean("enabled", c.enabled);
    o.boolean("takesInput", c.takesInput());
    switch (c.kind()) {
    case Kind::Option: {
        const auto& option = static_cast<const OptionButton&>(c);
        o.boolean("selected", option.selected());
        for (const auto& [key, step] : {std::pair{"arrowPrevious", -1}, std::pair{"arrowNext", +1}}) {
            if (const OptionButton* to = arrowTarget(form, option, step))
                o.str(key, to->name());
            else
                o.null(key);
        }
        break;
    }
    case Kind::HScroll:
        o.integer("value", static_cast<const HScrollBar&>(c).value());
        if (const Label* readout = readoutOf(form, c)) o.str("valueText", readout->caption);
        o.boolean("greyed", isGreyed(c));
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

std::string stateJson(const Form1& form, const PlatformEffects& effects) {
    std::string out;
    {
        JsonObject o(out);
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
        if (const Control* first = firstFocus(form))
            o.str("firstFocus", first->name());
        else
            o.null("firstFocus");
        JsonObject e(o.key("effects"));
        e.integer("beeps", effects.beeps);
        e.integer("prints", effects.prints);
        e.boolean("end", effects.end);
        e.strings("notices", effects.notices);
    }
    return out;
}
