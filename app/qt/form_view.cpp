#include "app/qt/form_view.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>

#include "app/qt/accessible.h"
#include "app/qt/fonts.h"
#include "app/qt/widgets.h"
#include "app/window/accessibility.h"
#include "app/window/view_rules.h"

static void initChartResources() { Q_INIT_RESOURCE(charts); }

namespace {

QRect geometryOf(const Control& c) {
    return QRect(pixelsOf(c.left), pixelsOf(c.top), pixelsOf(c.width), pixelsOf(c.height));
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString css(const Rgb& c) { return QStringLiteral("rgb(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b); }

// A raised face in the button's own colour: light edges top and left, dark ones bottom and
// right, swapped while pressed.
QString buttonFace(const Rgb& face) {
    return QStringLiteral(
               "QPushButton { background-color: %1; border-style: solid; border-width: 2px;"
               " border-top-color: white; border-left-color: white;"
               " border-right-color: rgb(64, 64, 64); border-bottom-color: rgb(64, 64, 64); }"
               "QPushButton:pressed { border-top-color: rgb(64, 64, 64); border-left-color: rgb(64, 64, 64);"
               " border-right-color: white; border-bottom-color: white; }")
        .arg(css(face));
}

Qt::Alignment horizontal(Align a) {
    switch (a) {
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

}  // namespace

FormView::FormView(Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    static const bool resourcesReady = (initChartResources(), true);
    (void)resourcesReady;
    installFonts();  // before the first widget picks its font
    installAccessibleInterfaces();

    const Frame& window = form_.window;
    setObjectName(qs(window.name()));
    setWindowTitle(qs(window.caption));
    setFont(defaultFont());
    setFixedSize(pixelsOf(window.width), pixelsOf(window.height));
    base_ = palette();
    widgets_[&window] = this;

    // Containers come before what they hold in controls().
    for (Control* c : form_.controls()) {
        if (c == &window) continue;
        QWidget* parentWidget = widgets_.at(c->container());
        if (QWidget* w = build(*c, parentWidget)) widgets_[c] = w;
    }
    stack(window);
    for (Control* c : window.children)
        if (c->kind() == Kind::Frame) stack(static_cast<const Frame&>(*c));

    setTabChain();
    sync();
    focusFirstStop();
}

QWidget* FormView::widgetFor(const Control& c) const {
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

const Control* FormView::controlOf(const QWidget* w) const {
    if (!w || w == this) return nullptr;
    for (const auto& [control, widget] : widgets_)
        if (widget == w) return control;
    return nullptr;
}

template <class Action>
void FormView::act(const Control&, Action&& action) {
    const Control* focused = controlOf(focusWidget());
    action();
    sync();
    settleFocus(focused);
    if (observer_) observer_();
}

void FormView::give(const std::string& control, const UserInput& input) {
    if (const Control* c = form_.find(control)) act(*c, [&] { form_.giveInput(control, input); });
}

void FormView::settleFocus(const Control* focused) {
    QWidget* now = focusWidget();
    // Focus outside the controls (on nothing, or on something the action hid) is the
    // window's to place; focus on a widget of our own that is not a control is left alone.
    if (!focused && now && now != this && now->isVisible() && now->isEnabled()) return;
    const Control* target = focusAfterAction(form_, focused);
    if (!target) return;
    QWidget* w = widgetFor(*target);
    if (w && w != now) w->setFocus(Qt::OtherFocusReason);
}

QWidget* FormView::build(Control& c, QWidget* parent) {
    QWidget* w = nullptr;
    switch (c.kind()) {
    case Kind::Frame:
        w = buildFrame(static_cast<Frame&>(c), parent);
        break;
    case Kind::Label:
        w = buildLabel(static_cast<const Label&>(c), parent);
        break;
    case Kind::Image:
        w = buildImage(static_cast<const Image&>(c), parent);
        break;
    case Kind::Button:
        w = buildButton(static_cast<CommandButton&>(c), parent);
        break;
    case Kind::Option:
        w = buildOption(static_cast<OptionButton&>(c), parent);
        break;
    case Kind::HScroll:
        w = buildScroll(static_cast<HScrollBar&>(c), parent);
        break;
    case Kind::Circle:
    case Kind::Line:
    case Kind::Form:
        return nullptr;  // painted by the phoropter view / the window itself
    }
    w->setObjectName(qs(c.name()));
    w->setGeometry(geometryOf(c));
    if (!c.look.toolTip.empty()) w->setToolTip(qs(c.look.toolTip));
    return w;
}

QWidget* FormView::buildFrame(Frame& f, QWidget* parent) {
    QGroupBox* box = nullptr;
    if (&f == &form_.Frame5) {
        phoropter_ = new PhoropterView(f, parent);
        box = phoropter_;
    } else {
        box = new FrameWidget(parent);
    }
    box->setFont(fontFor(resolvedFont(f)));
    if (f.look.fore) {
        QPalette p = box->palette();
        const QColor caption = toQColor(*f.look.fore);
        p.setColor(QPalette::Active, QPalette::WindowText, caption);
        p.setColor(QPalette::Inactive, QPalette::WindowText, caption);
        box->setPalette(p);
    }
    // A frame hides what lies under it, as the masking discs of the phoropter assume.
    box->setAutoFillBackground(true);
    return box;
}

QWidget* FormView::buildLabel(const Label& l, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(fontFor(resolvedFont(l)));
    label->setAlignment(Qt::AlignTop | horizontal(l.look.align));
    label->setWordWrap(captionWraps(l));

    keepWindowText(label, false);
    QPalette p = label->palette();
    if (l.look.fore) p.setColor(QPalette::WindowText, toQColor(*l.look.fore));
    if (l.look.back) p.setColor(QPalette::Window, toQColor(*l.look.back));
    label->setPalette(p);
    label->setAutoFillBackground(!l.look.transparent);
    if (l.look.border) {
        // A plain frame would take the (white) text colour; a style sheet draws it black.
        QString sheet = QStringLiteral("QLabel { border: 1px solid black;");
        if (l.look.fore) sheet += QStringLiteral(" color: %1;").arg(css(*l.look.fore));
        if (l.look.back) sheet += QStringLiteral(" background-color: %1;").arg(css(*l.look.back));
        label->setStyleSheet(sheet + QStringLiteral(" }"));
    }
    return label;
}

QWidget* FormView::buildImage(const Image& i, QWidget* parent) {
    auto* image = new ImageWidget(parent);
    image->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    image->setPixmap(QPixmap(qs(i.picture)));
    return image;
}

QWidget* FormView::buildButton(CommandButton& b, QWidget* parent) {
    auto* button = new ButtonWidget(parent);
    button->setFont(fontFor(resolvedFont(b)));
    button->setAutoDefault(false);
    keepWindowText(button, true);
    if (b.look.back) {
        button->setStyleSheet(buttonFace(*b.look.back));
        button->setFace(toQColor(*b.look.back));
    }
    connect(button, &QPushButton::clicked, this, [this, &b] {
        bool clicked = false;
        act(b, [&b, &clicked] { clicked = b.userClick(); });
        if (clicked) announce(this, qs(announcementAfter(form_, b)));
    });
    return button;
}

QWidget* FormView::buildOption(OptionButton& o, QWidget* parent) {
    auto* option = new OptionWidget(parent);
    option->setFont(fontFor(resolvedFont(o)));
    option->setWrap(captionWraps(o));
    option->setAutoExclusive(false);
    keepWindowText(option, true);
    connect(option, &QAbstractButton::clicked, this, [this, &o] { act(o, [&o] { o.userSelect(); }); });
    connect(option, &OptionWidget::arrowMove, this, [this, &o](int step) {
        OptionButton* to = const_cast<OptionButton*>(arrowTarget(form_, o, step));
        if (!to) return;
        widgetFor(*to)->setFocus(Qt::TabFocusReason);
        act(*to, [to] { to->userSelect(); });
    });
    return option;
}

QWidget* FormView::buildScroll(HScrollBar& s, QWidget* parent) {
    auto* bar = new ScrollBarWidget(parent);
    bar->setRange(s.min, s.max);
    bar->setSingleStep(s.smallChange);
    bar->setPageStep(s.largeChange);
    bar->setValue(s.value());
    // The value changes on an arrow or track click and when a dragged thumb is let go,
    // never during the drag.
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false);
    keepWindowText(bar, true);
    bar->setAccessibleName(qs(::accessibleName(form_, s)));
    // Each action reaches the model as what it is. The model's new value is mirrored inside the
    // action, so the value the bar then takes is already its own and signals nothing more.
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, &s](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderSingleStepSub:  // arrow buttons, Left and Right
            act(s, [&s, action] { s.userArrow(action == QAbstractSlider::SliderSingleStepAdd ? +1 : -1); });
            break;
        case QAbstractSlider::SliderPageStepAdd:
        case QAbstractSlider::SliderPageStepSub:  // the track, PageUp and PageDown
            act(s, [&s, action] { s.userTrack(action == QAbstractSlider::SliderPageStepAdd ? +1 : -1); });
            break;
        case QAbstractSlider::SliderToMinimum:  // Home and End
            act(s, [&s] { s.userRelease(s.min); });
            break;
        case QAbstractSlider::SliderToMaximum:
            act(s, [&s] { s.userRelease(s.max); });
            break;
        case QAbstractSlider::SliderMove:
            // The wheel moves the thumb as one step to its new place; a drag waits for the release.
            if (!bar->isSliderDown()) act(s, [&s, bar] { s.userRelease(bar->sliderPosition()); });
            break;
        default:
            break;
        }
    });
    connect(bar, &QAbstractSlider::sliderReleased, this,
            [this, bar, &s] { act(s, [&s, bar] { s.userRelease(bar->sliderPosition()); }); });
    // Anything else that sets the value directly (the bar's context menu) counts as a release there.
    connect(bar, &QAbstractSlider::valueChanged, this, [this, &s](int v) { act(s, [&s, v] { s.userRelease(v); }); });
    return bar;
}

void FormView::keepWindowText(QWidget* w, bool greyWhenDisabled) const {
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const auto from = (group == QPalette::Disabled && !greyWhenDisabled) ? QPalette::Active : group;
        p.setColor(group, QPalette::WindowText, base_.color(from, QPalette::WindowText));
    }
    w->setPalette(p);
}

void FormView::stack(const Frame& container) {
    // The list is top-most first; raising from the bottom up leaves the first on top.
    const auto& kids = container.children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        if (QWidget* w = widgetFor(**it)) w->raise();
}

void FormView::setTabChain() {
    const auto& order = form_.tabOrder();
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(widgetFor(*order[i - 1]), widgetFor(*order[i]));
}

void FormView::focusFirstStop() {
    if (const Control* first = firstFocus(form_)) widgetFor(*first)->setFocus(Qt::OtherFocusReason);
}

void FormView::updateOptionStops() {
    for (Control* c : form_.tabOrder())
        if (c->kind() == Kind::Option)
            widgetFor(*c)->setFocusPolicy(isTabStop(form_, *c) ? Qt::StrongFocus : Qt::ClickFocus);
}

void FormView::sync() {
    for (Control* c : form_.controls()) {
        QWidget* w = widgetFor(*c);
        if (!w) continue;
        const QSignalBlocker blocker(w);
        switch (c->kind()) {
        case Kind::Form:
            setWindowTitle(qs(static_cast<const Frame&>(*c).caption));
            continue;  // the window's own visibility belongs to the program
        case Kind::Frame:
            static_cast<QGroupBox*>(w)->setTitle(qs(static_cast<const Frame&>(*c).caption));
            break;
        case Kind::Label: {
            auto* label = static_cast<QLabel*>(w);
            const QString text = qs(static_cast<const Label&>(*c).caption);
            if (label->text() != text) label->setText(text);
            break;
        }
        case Kind::Button: {
            auto* button = static_cast<ButtonWidget*>(w);
            const std::string& caption = static_cast<const CommandButton&>(*c).caption;
            button->setText(qs(caption));
            QStringList lines;
            for (const std::string& line : captionLines(caption)) lines << qs(line);
            button->setLines(lines);
            break;
        }
        case Kind::Option: {
            const auto& o = static_cast<const OptionButton&>(*c);
            auto* option = static_cast<QRadioButton*>(w);
            option->setText(qs(o.caption));
            option->setChecked(o.selected());
            break;
        }
        case Kind::HScroll: {
            auto* bar = static_cast<ScrollBarWidget*>(w);
            // A thumb the trainee holds stays where it is held; the release sets the value.
            if (!bar->isSliderDown()) bar->setValue(static_cast<const HScrollBar&>(*c).value());
            if (const Label* readout = readoutOf(form_, *c)) bar->setReadout(qs(readout->caption));
            break;
        }
        case Kind::Image:
        case Kind::Circle:
        case Kind::Line:
            break;
        }
        if (w->isHidden() == c->visible) w->setVisible(c->visible);
        w->setEnabled(c->enabled);
    }
    updateOptionStops();
    if (phoropter_) {
        const QString description = qs(phoropterDescription(form_));
        if (phoropter_->accessibleDescription() != description) phoropter_->setAccessibleDescription(description);
        phoropter_->update();
    }
}
