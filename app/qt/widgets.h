#pragma once
// The few Qt widgets that need more than their stock behaviour to look and act like the
// window's controls.

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/window/controls.h"

inline QColor toQColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }
inline Rgb toRgb(const QColor& c) { return Rgb{c.red(), c.green(), c.blue()}; }

// The width of the focus mark, in the layout's pixels.
constexpr int kFocusMarkWidth = 2;

// A chart picture, shown at its natural size; unlike a stock label it is not greyed inside
// a disabled frame, as a picture is not something one operates.
class ImageWidget : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button whose caption wraps inside its box, as the layout's long captions need. The
// focus mark and a disabled caption are drawn in colours that stand out on the button's face;
// Return and Enter press it as Space does.
class ButtonWidget : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    // The face colour, when a style sheet paints one; otherwise the palette's button colour.
    void setFace(const QColor& face) { face_ = face; }
    QColor face() const;
    // The caption's lines where it breaks at set places (captionLines); one line: wrapped to the box.
    void setLines(const QStringList& lines);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor face_;
    QString shown_;  // the caption as drawn, its set line breaks in place
};

// An option button whose caption wraps, whose whole box takes the click, and whose check
// mark is left to the model: a click only reports, the view then mirrors the selection.
// Return and Enter select it as Space does.
class OptionWidget : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;
    // Whether the caption may take several lines; off for boxes one line high, where a
    // second line would only overwrite the first.
    void setWrap(bool on) { wrap_ = on; }

signals:
    // An arrow key asks to move to the previous (-1) or next (+1) button of the group.
    void arrowMove(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void nextCheckState() override {}
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool wrap_ = true;
};

// A frame drawn as an etched rectangle with the caption set into its top line, on the plain
// window background (the stock group box of some styles tints its inside, which the
// masking discs of the phoropter could not match).
class FrameWidget : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A horizontal scroll bar that frames itself while it has the keyboard focus, and that a
// screen reader reads through the text of its readout label rather than its raw value.
class ScrollBarWidget : public QScrollBar {
    Q_OBJECT
public:
    explicit ScrollBarWidget(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}
    QString readout() const { return readout_; }
    // The readout's text; a change is announced as a change of the bar's value.
    void setReadout(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString readout_;
};

// A notice inside the window, in the empty strip below the print button, that stays until the
// trainee closes it or does anything else in the window: a click, a key, the wheel. It never
// takes the focus or blocks the window. Showing it again replaces its text, so there is only
// ever one.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* window);
    void showText(const QString& text);
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* label_;
    QWidget* close_;
};

// The phoropter frame: after the frame itself it paints the circles and lines of the
// model frame, bottom-most first, in twips scaled to pixels.
class PhoropterView : public FrameWidget {
    Q_OBJECT
public:
    PhoropterView(const Frame& model, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCircle(QPainter& p, const Circle& c) const;
    void paintLine(QPainter& p, const Line& l) const;
    QColor systemColour(SystemColour s) const;

    const Frame& model_;
};
