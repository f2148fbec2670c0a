#pragma once
// The window on screen: one Qt widget per control of Form1, built from the design-time
// layout (twips / 15 = pixels). User input goes to the model; after every handled event
// sync() copies the model back into the widgets.

#include <functional>
#include <string>
#include <unordered_map>

#include <QPalette>
#include <QWidget>

#include "app/form1/form1.h"
#include "app/teaching/record.h"

class PhoropterView;
class QLabel;

class FormView : public QWidget {
    Q_OBJECT
public:
    explicit FormView(Form1& form, QWidget* parent = nullptr);

    // Told after every user action, once the window has handled it and the widgets mirror it
    // (the panel beside the window then shows what the window told the record).
    using ActionObserver = std::function<void()>;
    void setActionObserver(ActionObserver observer) { observer_ = std::move(observer); }

    // Gives `input` to the control named `control` as the user would, through the same path as
    // the widgets' own input (scripted sittings of the tests).
    void give(const std::string& control, const UserInput& input);

    // Puts the keyboard focus on the window's first stop, as at start.
    void focusFirstStop();

    // Mirrors captions, visibility, enabling, selections, values and shapes. Signals are
    // blocked meanwhile, so mirroring never reaches the model.
    void sync();

    // The widget of a control; null for the circles and lines, which the phoropter paints.
    QWidget* widgetFor(const Control& c) const;
    // The control a widget shows; null for the window itself and for widgets of the view's own.
    const Control* controlOf(const QWidget* w) const;
    PhoropterView* phoropterView() const { return phoropter_; }
    const Form1& form() const { return form_; }

private:
    QWidget* build(Control& c, QWidget* parent);
    QWidget* buildFrame(Frame& f, QWidget* parent);
    QWidget* buildLabel(const Label& l, QWidget* parent);
    QWidget* buildImage(const Image& i, QWidget* parent);
    QWidget* buildButton(CommandButton& b, QWidget* parent);
    QWidget* buildOption(OptionButton& o, QWidget* parent);
    QWidget* buildScroll(HScrollBar& s, QWidget* parent);
    // Runs a user action on `control` on the model, mirrors the result, puts the keyboard focus
    // where it belongs when the action took it from the control that had it, and tells the
    // observer.
    template <class Action>
    void act(const Control& control, Action&& action);
    void settleFocus(const Control* focused);
    void stack(const Frame& container);
    void setTabChain();

    // The option buttons of one frame are one tab stop: the selected one, or the first
    // that can be operated; arrow keys move and select within the frame (arrowTarget).
    void updateOptionStops();

    // The window text colour of the window itself, in every colour group, so that a
    // frame's red caption colour does not pass on to what the frame holds.
    void keepWindowText(QWidget* w, bool greyWhenDisabled) const;

    Form1& form_;
    QPalette base_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    PhoropterView* phoropter_ = nullptr;
    ActionObserver observer_;
};
