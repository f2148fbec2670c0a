#pragma once
// The program's top-level window: the window Form1 as it always was, at the top left, and to its
// right a toggle and the record panel, which folds away.

#include <QPushButton>
#include <QWidget>

#include "app/qt/form_view.h"
#include "app/qt/qt_platform.h"
#include "app/teaching/sitting.h"

class RecordPanel;
class SittingStore;

// The toggle of the record panel: a button that says what it does (open or close the panel) and
// tells assistive technology whether the panel is open, as an expandable control does.
class PanelToggle : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool open READ open)
public:
    using QPushButton::QPushButton;
    bool open() const { return open_; }
    void setOpen(bool open);

protected:
    // The stock face, and while focused a solid black frame, as the panel's stops have.
    void paintEvent(QPaintEvent* event) override;

private:
    bool open_ = false;
};

class TrainerWindow : public QWidget {
    Q_OBJECT
public:
    // The strip between the window and the panel that holds the toggle.
    static constexpr int kStripWidth = 30;

    TrainerWindow(Sitting& sitting, QtPlatform& platform, QWidget* parent = nullptr);

    // The window Form1. A new code replaces it: ask again after startCode.
    FormView& view() const { return *view_; }
    PanelToggle& toggle() const { return *toggle_; }
    // The panel; it is built after the first paint, or now when asked for before.
    RecordPanel& panel();
    bool panelOpen() const { return open_; }
    void setPanelOpen(bool open);

    // A fresh window for `code` in place of the current one (asked for by the panel, which has
    // asked the person first), the keyboard focus on its first stop.
    void startCode(const CaseCode& code);

    // Where the sitting is kept (the panel offers, says and deletes through it).
    void setStore(SittingStore* store);
    // Plays the offered kept sitting into a fresh window, the focus where the window puts it at
    // start.
    void resumeSitting();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildView();
    void afterAction();
    void linkTabOrder();
    void fitWidth();
    // A fresh window after `change` has replaced the sitting's.
    template <class Change>
    void replaceView(Change&& change);

    Sitting& sitting_;
    QtPlatform& platform_;
    FormView* view_ = nullptr;
    PanelToggle* toggle_ = nullptr;
    RecordPanel* panel_ = nullptr;
    SittingStore* store_ = nullptr;
    bool open_ = true;
    bool painted_ = false;
};
