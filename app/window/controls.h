#pragma once
// The window's controls as plain objects: what the window logic reads and writes, and the
// notification rules it relies on. The Qt view only mirrors these; nothing here knows Qt.

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colours the window system decides.
enum class SystemColour { None, ButtonFace, WindowText };

// The layout is in twips; at the usual 96 dots per inch a pixel is 15 of them. Both views place
// controls at whole pixels, rounded half away from zero.
inline constexpr double kTwipsPerPixel = 15;
inline int pixelsOf(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

// The two font families the layout names. The Qt view maps them to IPA Gothic and IPA P Gothic.
inline constexpr const char* kGothic = "ＭＳ ゴシック";     // fixed pitch
inline constexpr const char* kPGothic = "ＭＳ Ｐゴシック";  // proportional

struct FontSpec {
    std::string family;  // empty: the window's default font
    double points = 0;
    bool bold = false;
};

enum class Align { Left, Centre, Right };

// Design-time appearance; never changed at run time.
struct Look {
    std::optional<Rgb> fore;  // text or border colour
    std::optional<Rgb> back;  // label background or button face
    SystemColour foreSystem = SystemColour::None;
    SystemColour backSystem = SystemColour::None;
    bool transparent = false;
    bool border = false;
    Align align = Align::Left;
    FontSpec font;
    std::string toolTip;
    int borderWidth = 1;  // circles and lines
};

enum class Kind { Form, Frame, Label, Button, Option, HScroll, Image, Circle, Line };

class Frame;
class Control;

// One input the user gives a control, as the views hand it over: enough to give it again.
enum class InputVerb { Click, Select, Arrow, Track, Release };
struct UserInput {
    InputVerb verb = InputVerb::Click;
    int value = 0;  // Arrow and Track: the direction (-1 or +1); Release: where the thumb was let go
    friend bool operator==(const UserInput&, const UserInput&) = default;
};

// Told of every input the user gives a control, before its handlers run and after they have all
// returned (refused inputs too). Handlers that set other controls run nested inside and are not
// inputs of their own.
class InputListener {
public:
    virtual ~InputListener() = default;
    virtual void inputBegins(Control& control, const UserInput& input) = 0;
    virtual void inputEnds(Control& control) = 0;
};

class Control {
public:
    Control(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Frame* container() const { return container_; }
    void setContainer(Frame* f) { container_ = f; }

    // Position and size in twips (kTwipsPerPixel), relative to the container (single precision, as the
    // procedures that move the dots hand them over).
    float left = 0, top = 0, width = 0, height = 0;
    Look look;

    bool visible = true;
    bool enabled = true;

    // True when the user could operate this control now: it and every frame around it
    // are visible and enabled.
    bool takesInput() const;

    // Who is told of the user's inputs to this control (the window, for all of its own).
    void setInputListener(InputListener* listener) { listener_ = listener; }

private:
    Kind kind_;
    std::string name_;
    Frame* container_ = nullptr;

protected:
    // Tells the listener of one user `input` around `handle` (which returns whether the control took it).
    template <class Handle>
    bool userInput(const UserInput& input, Handle&& handle) {
        InputListener* listener = listener_;
        if (listener) listener->inputBegins(*this, input);
        const bool taken = handle();
        if (listener) listener->inputEnds(*this);
        return taken;
    }

private:
    InputListener* listener_ = nullptr;
};

class Frame : public Control {
public:
    explicit Frame(std::string name, Kind kind = Kind::Frame) : Control(kind, std::move(name)) {}
    std::string caption;
    // What the frame holds, top-most first.
    std::vector<Control*> children;
    void add(Control& c) {
        c.setContainer(this);
        children.push_back(&c);
    }
};

class Label : public Control {
public:
    explicit Label(std::string name) : Control(Kind::Label, std::move(name)) {}
    std::string caption;
};

class CommandButton : public Control {
public:
    explicit CommandButton(std::string name) : Control(Kind::Button, std::move(name)) {}
    std::string caption;
    std::function<void()> onClick;
    // A click by the user; refused while the button cannot take input.
    bool userClick();
};

class OptionButton : public Control {
public:
    explicit OptionButton(std::string name) : Control(Kind::Option, std::move(name)) {}
    std::string caption;
    std::function<void()> onClick;

    bool selected() const { return selected_; }
    // Selecting clears the other buttons of the same frame and runs the click handler,
    // at once, when the button was not selected before. Clearing notifies nothing.
    void setSelected(bool on);
    bool userSelect();

private:
    bool selected_ = false;
};

class HScrollBar : public Control {
public:
    explicit HScrollBar(std::string name) : Control(Kind::HScroll, std::move(name)) {}
    int min = 0, max = 100, smallChange = 1, largeChange = 10;
    std::function<void()> onChange;

    int16_t value() const { return value_; }
    // Sets the value (clamped to the range); the change handler runs at once, nested,
    // when the value differs. Setting the value it already has runs nothing.
    void setValue(int v);
    // Design value: no notification.
    void initValue(int v) { value_ = static_cast<int16_t>(v); }

    // The user's ways of changing it; each is refused while the bar cannot take input.
    bool userArrow(int direction);  // -1 left arrow, +1 right arrow
    bool userTrack(int direction);  // click on the track left (-1) or right (+1) of the thumb
    bool userRelease(int v);        // release of a dragged thumb at v

private:
    int16_t value_ = 0;
};

class Image : public Control {
public:
    explicit Image(std::string name) : Control(Kind::Image, std::move(name)) {}
    std::string picture;  // resource name of the picture
};

// A circle of the phoropter view.
class Circle : public Control {
public:
    explicit Circle(std::string name) : Control(Kind::Circle, std::move(name)) {}
    int fillStyle = 1;  // 0 solid, 1 transparent
    std::optional<Rgb> fillColour;
    SystemColour fillSystem = SystemColour::None;
    bool hasBorder = true;
};

class Line : public Control {
public:
    explicit Line(std::string name) : Control(Kind::Line, std::move(name)) {}
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The caption of a control that has one (form, frame, label, button, option button); null for
// the others.
const std::string* captionOf(const Control& c);
