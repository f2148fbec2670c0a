#include "app/qt/accessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLabel>
#include <QScrollBar>

#include "app/qt/form_view.h"
#include "app/qt/widgets.h"
#include "app/window/accessibility.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The window view a widget belongs to: the widget itself or the nearest such ancestor (the view
// may sit inside the program's top-level window).
const FormView* formViewOf(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (const auto* view = qobject_cast<const FormView*>(w)) return view;
    return nullptr;
}

// The interface of a widget that shows a control of the window. The control is looked up on
// every question, as Qt may make the interface before the view has filed the widget.
class ControlAccessible : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        const Control* c = control();
        if (c && !isPerceivable(*c)) return {};  // hidden: nothing of it is told
        if (t == QAccessible::Name && c) return name(*c);
        return QAccessibleWidget::text(t);
    }

protected:
    const FormView* view() const { return formViewOf(widget()); }
    const Control* control() const {
        const FormView* v = view();
        return v ? v->controlOf(widget()) : nullptr;
    }
    // The control's name as a screen reader says it; the widget's own when the model has none.
    virtual QString name(const Control& c) const {
        const std::string named = accessibleName(view()->form(), c);
        return named.empty() ? QAccessibleWidget::text(QAccessible::Name) : qs(named);
    }
    bool operable() const {
        const Control* c = control();
        return c && c->takesInput();
    }
};

// Labels: their caption while shown, nothing while hidden. A label of the view's own (in a
// notice) says its text.
class LabelAccessible : public ControlAccessible {
public:
    explicit LabelAccessible(QLabel* w) : ControlAccessible(w, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !control()) return static_cast<QLabel*>(widget())->text();
        return ControlAccessible::text(t);
    }

protected:
    QString name(const Control& c) const override { return qs(static_cast<const Label&>(c).caption); }
};

// Labels of the record panel beside the window: their text, or a picture's own name, while shown;
// nothing while hidden, as the window's own labels.
class PanelLabelAccessible : public QAccessibleWidget {
public:
    explicit PanelLabelAccessible(QLabel* w)
        : QAccessibleWidget(w, w->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic) {}

    QAccessible::Role role() const override {
        return static_cast<QLabel*>(widget())->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }
    QString text(QAccessible::Text t) const override {
        if (!widget()->isVisible()) return {};
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// The panel's toggle: a push button that is expandable, expanded while the panel is open.
class PanelToggleAccessible : public QAccessibleWidget {
public:
    explicit PanelToggleAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = widget()->property("open").toBool();
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} << QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (widget()->isEnabled()) static_cast<QAbstractButton*>(widget())->click();
    }
};

bool inRecordPanel(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->inherits("RecordPanel")) return true;
    return false;
}

// Frames: a group named by its caption (the phoropter's also described in words).
class FrameAccessible : public ControlAccessible {
public:
    explicit FrameAccessible(QWidget* w) : ControlAccessible(w, QAccessible::Grouping) {}

protected:
    QString name(const Control& c) const override { return qs(static_cast<const Frame&>(c).caption); }
};

// Chart pictures: the chart's own name.
class ImageAccessible : public ControlAccessible {
public:
    explicit ImageAccessible(QWidget* w) : ControlAccessible(w, QAccessible::Graphic) {}
};

// Push buttons and option buttons. Every action of assistive technology is a click through the
// widget, which the view hands to the window logic as it does the mouse's; a control that cannot
// take input offers no action.
class ButtonAccessible : public ControlAccessible {
public:
    ButtonAccessible(QWidget* w, QAccessible::Role role) : ControlAccessible(w, role) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const Control* c = control();
        if (c && c->kind() == Kind::Option) {
            s.checkable = true;
            s.checked = static_cast<const OptionButton*>(c)->selected();
        }
        return s;
    }
    QStringList actionNames() const override {
        if (!operable()) return {};
        QStringList names{pressAction()};
        if (role() == QAccessible::RadioButton) names << toggleAction();
        return names << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction() && action != toggleAction()) return QAccessibleWidget::doAction(action);
        if (operable()) static_cast<QAbstractButton*>(widget())->click();
    }

protected:
    QString name(const Control& c) const override {
        if (c.kind() == Kind::Option) return qs(static_cast<const OptionButton&>(c).caption);
        return qs(static_cast<const CommandButton&>(c).caption);
    }
};

// Scroll bars: named by what they set; the value is the readout's own number (dioptres or degrees,
// as the readout shows it), the readout's text is the description and the value's text.
class ScrollBarAccessible : public ControlAccessible, public QAccessibleValueInterface {
public:
    explicit ScrollBarAccessible(ScrollBarWidget* bar) : ControlAccessible(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return ControlAccessible::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value || t == QAccessible::Description) {
            const Control* c = control();
            return c && !isPerceivable(*c) ? QString() : bar()->readout();
        }
        return ControlAccessible::text(t);
    }
    QVariant currentValue() const override { return scale().value; }
    // A value set by assistive technology is the user's, as a let-go thumb would be.
    void setCurrentValue(const QVariant& value) override {
        const Control* c = control();
        if (!c || !c->takesInput() || !value.canConvert<double>()) return;
        bar()->setValue(positionForReadout(view()->form(), static_cast<const HScrollBar&>(*c), value.toDouble()));
    }
    QVariant maximumValue() const override { return scale().maximum; }
    QVariant minimumValue() const override { return scale().minimum; }
    QVariant minimumStepSize() const override { return scale().step; }

private:
    ScrollBarWidget* bar() const { return static_cast<ScrollBarWidget*>(widget()); }
    ReadoutScale scale() const {
        const Control* c = control();
        // A bar the view has not filed yet (only while the window is being built) reads as zero.
        if (!c) return {};
        return readoutScale(view()->form(), *c).value_or(ReadoutScale{});
    }
};

// The announcer: a notification whose name is what it last said.
class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer* a) : QAccessibleWidget(a, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<Announcer*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String("Announcer")) return new AnnouncerAccessible(static_cast<Announcer*>(object));
    if (className == QLatin1String("ScrollBarWidget"))
        return new ScrollBarAccessible(static_cast<ScrollBarWidget*>(object));
    if (className == QLatin1String("ButtonWidget"))
        return new ButtonAccessible(static_cast<QWidget*>(object), QAccessible::PushButton);
    if (className == QLatin1String("OptionWidget"))
        return new ButtonAccessible(static_cast<QWidget*>(object), QAccessible::RadioButton);
    if (className == QLatin1String("ImageWidget")) return new ImageAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("PanelToggle")) return new PanelToggleAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("FrameWidget")) return new FrameAccessible(static_cast<QWidget*>(object));
    // Plain labels inside the window.
    if (className == QLatin1String("QLabel")) {
        auto* label = static_cast<QLabel*>(object);
        if (formViewOf(label)) return new LabelAccessible(label);
        if (inRecordPanel(label)) return new PanelLabelAccessible(label);
    }
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces() {
    static const bool installed = (QAccessible::installFactory(accessibleFor), true);
    (void)installed;
}

Announcer::Announcer(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
    lower();
    hide();
}

void Announcer::say(const QString& text) {
    text_ = text;
    // Appearing is what a screen reader speaks of a notification; the same words said twice must
    // appear twice.
    hide();
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    show();
}

void announce(QWidget* window, const QString& text) {
    if (!window || text.isEmpty()) return;
    auto* announcer = window->findChild<Announcer*>(QString(), Qt::FindDirectChildrenOnly);
    if (!announcer) announcer = new Announcer(window);
    announcer->say(text);
}
