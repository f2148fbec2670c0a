#include "app/web/session.h"

#include <utility>

#include "app/accessibility.h"

RecordingPlatform::Effects RecordingPlatform::take() {
    Effects taken = std::move(pending_);
    pending_ = Effects{};
    return taken;
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
