#include "app/window/controls.h"

#include <algorithm>

bool Control::takesInput() const {
    for (const Control* c = this; c != nullptr; c = c->container())
        if (!c->visible || !c->enabled) return false;
    return true;
}

bool CommandButton::userClick() {
    return userInput({InputVerb::Click}, [this] {
        if (!takesInput()) return false;
        if (onClick) onClick();
        return true;
    });
}

void OptionButton::setSelected(bool on) {
    if (!on) {
        selected_ = false;
        return;
    }
    if (selected_) return;
    if (Frame* f = container()) {
        for (Control* c : f->children)
            if (c != this && c->kind() == Kind::Option) static_cast<OptionButton*>(c)->selected_ = false;
    }
    selected_ = true;
    if (onClick) onClick();
}

bool OptionButton::userSelect() {
    return userInput({InputVerb::Select}, [this] {
        if (!takesInput()) return false;
        setSelected(true);
        return true;
    });
}

void HScrollBar::setValue(int v) {
    const auto clamped = static_cast<int16_t>(std::clamp(v, min, max));
    if (clamped == value_) return;
    value_ = clamped;
    if (onChange) onChange();
}

bool HScrollBar::userArrow(int direction) {
    return userInput({InputVerb::Arrow, direction < 0 ? -1 : 1}, [&] {
        if (!takesInput()) return false;
        setValue(value_ + (direction < 0 ? -smallChange : smallChange));
        return true;
    });
}

bool HScrollBar::userTrack(int direction) {
    return userInput({InputVerb::Track, direction < 0 ? -1 : 1}, [&] {
        if (!takesInput()) return false;
        setValue(value_ + (direction < 0 ? -largeChange : largeChange));
        return true;
    });
}

bool HScrollBar::userRelease(int v) {
    return userInput({InputVerb::Release, v}, [&] {
        if (!takesInput()) return false;
        setValue(v);
        return true;
    });
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
