#!/usr/bin/python3
"""The trainer as a screen reader reads it: over the AT-SPI bus, through Qt's bridge.

Run by with_accessibility_bus.sh, which starts the program on a virtual display with the bridge on
and sets TRAINER_PID. Every wait is bounded; a failed check ends the run with status 1.
"""

import os
import subprocess
import sys
import time

import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TIMEOUT = 15.0
warnings.simplefilter("ignore", DeprecationWarning)  # the 2.46 names, which older libraries also know
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def pump(seconds):
    """Runs the main loop for a while so that events arrive."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(condition, seconds=TIMEOUT):
    """Pumps events until condition() holds or the time is up; returns its last result."""
    end = time.monotonic() + seconds
    result = condition()
    while not result and time.monotonic() < end:
        pump(0.05)
        result = condition()
    return result


def find_application():
    def look():
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == int(os.environ["TRAINER_PID"]) and app.get_child_count() > 0:
                return app
        return None

    return wait_for(look, 30)


def walk(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


class Window:
    def __init__(self, app):
        self.app = app

    def all(self, role=None, name=None):
        return [
            n
            for n in walk(self.app)
            if (role is None or n.get_role_name() == role) and (name is None or n.get_name() == name)
        ]

    def one(self, role, name):
        found = wait_for(lambda: self.all(role, name), 5)
        if not found:
            raise AssertionError(f"no {role} named {name!r}")
        return found[0]


def has(node, state):
    return node.get_state_set().contains(state)


def value(node):
    return Atspi.Value.get_current_value(node)


def do_action(node, name):
    for i in range(Atspi.Action.get_n_actions(node)):
        if Atspi.Action.get_action_name(node, i) == name:
            return Atspi.Action.do_action(node, i)
    raise AssertionError(f"{node.get_name()!r} has no action {name!r}")


def focus_window(window_id):
    subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True, timeout=10)


def press_key(window_id, key):
    focus_window(window_id)
    subprocess.run(["xdotool", "key", key], check=True, timeout=10)


class Events:
    """What the program sends over the bus, as (event type, role, name, detail1)."""

    def __init__(self, *types):
        self.seen = []
        self.listener = Atspi.EventListener.new(self.on_event)
        for t in types:
            self.listener.register(t)
        # The bridge learns of new listeners from the registry; give it a moment.
        pump(1.0)

    def on_event(self, event):
        try:
            source = event.source
            self.seen.append((event.type, source.get_role_name(), source.get_name(), event.detail1))
        except GLib.Error:
            pass

    def clear(self):
        self.seen.clear()

    def wait(self, predicate):
        return wait_for(lambda: [e for e in self.seen if predicate(*e)])


def main():
    Atspi.init()
    app = find_application()
    if not check(app is not None, "the program is on the accessibility bus"):
        return
    app.set_cache_mask(Atspi.Cache.NONE)  # every read asks the program
    w = Window(app)
    w.one("scroll bar", "球面度数")  # the window is filled in
    events = Events(
        "object:state-changed:showing",
        "object:state-changed:checked",
        "object:property-change:accessible-value",
        "object:property-change:accessible-description",
    )

    # --- Roles and groups: twelve option buttons, each frame one group with one button checked.
    options = w.all("radio button")
    check(len(options) == 12 and not w.all("check box"), "the 12 option buttons are radio buttons, none a check box")
    groups = {}
    for o in options:
        groups.setdefault(o.get_parent().get_name(), []).append(o)
    check(
        {g: len(m) for g, m in groups.items()} == {"お客様への質問": 5, "視標チャートの設定": 4, "モード": 3},
        "each frame groups its own option buttons",
    )
    for g, members in groups.items():
        check(sum(has(o, Atspi.StateType.CHECKED) for o in members) == 1, f"one option of {g} checked")

    # --- Pictures by their own names.
    check(
        sorted(i.get_name() for i in w.all("image")) == sorted(["視力表", "ＲＧテスト", "放射線視標", "点群視標"]),
        "the four charts are named by what they show",
    )

    # --- Nothing hidden is readable: the correct value stays secret in test mode.
    def leaks():
        return [
            (n.get_role_name(), n.get_name(), n.get_description())
            for n in walk(app)
            if n.get_role_name() != "application"
            and not has(n, Atspi.StateType.SHOWING)
            and (n.get_name() or n.get_description())
        ]

    check(leaks() == [], f"hidden controls tell nothing: {leaks()}")
    texts = " ".join(n.get_name() + n.get_description() for n in walk(app))
    check("正解値" not in texts and "でした" not in texts, "the correct value is nowhere to be read")
    check(Atspi.Action.get_n_actions(w.all("push button", "")[0]) == 0, "a hidden button offers no action")

    # --- Scroll bars: the readout's own number and text, also after a key press.
    sphere = w.one("scroll bar", "球面度数")
    axis = w.one("scroll bar", "乱視軸")
    check(
        (value(sphere), sphere.get_description()) == (0.0, "Ｓ 0.00Ｄ"),
        f"sphere at start: {value(sphere)} {sphere.get_description()!r}",
    )
    check(
        (Atspi.Value.get_minimum_value(sphere), Atspi.Value.get_maximum_value(sphere)) == (-10.0, 10.0),
        "the sphere's range is the readout's, -10 to +10 D",
    )
    window_id = subprocess.run(
        ["xdotool", "search", "--sync", "--onlyvisible", "--pid", os.environ["TRAINER_PID"]],
        capture_output=True,
        text=True,
        timeout=20,
        check=True,
    ).stdout.split()[0]
    focus_window(window_id)
    for bar, expect_value, expect_text in ((sphere, -0.25, "Ｓ-0.25Ｄ"), (axis, 89.0, "Ａ89°")):
        name = bar.get_name()
        Atspi.Component.grab_focus(bar)
        check(wait_for(lambda: has(bar, Atspi.StateType.FOCUSED), 5), f"{name} takes the focus")
        events.clear()
        press_key(window_id, "Right")
        got = wait_for(lambda: value(bar) == expect_value and bar.get_description() == expect_text)
        check(got, f"{name} after Right: {value(bar)} {bar.get_description()!r}")
        check(
            events.wait(lambda t, r, n, d: t == "object:property-change:accessible-description" and n == name),
            f"{name}: the new readout is announced as a description change",
        )
        check(
            events.wait(lambda t, r, n, d: t == "object:property-change:accessible-value" and n == name),
            f"{name}: the value change is announced",
        )
        check(bool(w.all("label", expect_text)), f"{name}: the readout label shows {expect_text}")

    # Setting a value in the readout's unit moves the bar as the trainee would.
    cylinder = w.one("scroll bar", "円柱度数")
    Atspi.Value.set_current_value(cylinder, -0.5)
    check(
        wait_for(lambda: cylinder.get_description() == "Ｃ-0.50Ｄ" and value(cylinder) == -0.5),
        f"the cylinder set to -0.5 over the bus reads {cylinder.get_description()!r}",
    )

    # The bridge's own Increase action goes through the same value, so through the model.
    before = value(sphere)
    do_action(sphere, "Increase")
    check(
        wait_for(lambda: value(sphere) > before and w.all("label", sphere.get_description())),
        f"Increase on the sphere: {before} -> {value(sphere)}, the readout shows {sphere.get_description()!r}",
    )

    # --- Actions on options go the way a click goes: one checked, and the window reacts.
    focused_before = [n for n in walk(app) if has(n, Atspi.StateType.FOCUSED)]
    for chart, question in (("ＲＧテスト", "赤と緑、どちらがよく見えますか？"), ("放射線視標", "乱視表、濃く見える方向は？")):
        do_action(w.one("radio button", chart), "Toggle")
        check(
            wait_for(lambda: [o.get_name() for o in w.all("radio button") if has(o, Atspi.StateType.CHECKED)
                              and o.get_parent().get_name() == "視標チャートの設定"] == [chart]),
            f"Toggle on {chart}: it alone is checked",
        )
        q = wait_for(lambda: w.all("radio button", question))
        check(
            bool(q) and has(q[0], Atspi.StateType.SHOWING) and has(q[0], Atspi.StateType.CHECKED),
            f"the window reacted: {question} is offered and chosen",
        )

    # --- The customer's answer is announced, and the focus stays where it was.
    events.clear()
    do_action(w.one("push button", "質問する"), "Press")
    answer_label = wait_for(lambda: [n for n in walk(w.one("panel", "お客様の答え")) if n.get_role_name() == "label" and n.get_name()])
    answer = answer_label[0].get_name() if answer_label else ""
    check(bool(answer), f"the answer is shown: {answer!r}")
    check(
        events.wait(lambda t, r, n, d: t == "object:state-changed:showing" and r == "notification" and n == answer
                    and d == 1),
        "the answer is announced as a notification",
    )
    focused_after = [n for n in walk(app) if has(n, Atspi.StateType.FOCUSED)]
    check(focused_after == focused_before, "the announcement leaves the focus alone")

    # --- The print notice is announced (the wrapper leaves the program without a printer).
    events.clear()
    do_action(w.one("push button", "print"), "Press")
    check(
        events.wait(lambda t, r, n, d: t == "object:state-changed:showing" and r == "notification" and n
                    and n != answer and d == 1),
        "the print notice is announced",
    )

    # --- At the end of the measurement the correct value becomes readable.
    do_action(w.one("push button", "測定終了正解は？"), "Press")
    check(
        wait_for(lambda: any(n.get_name().endswith("でした。") for n in w.all("label") if has(n, Atspi.StateType.SHOWING))),
        "after the end the correct value can be read",
    )
    check(leaks() == [], "still nothing hidden is readable")


if __name__ == "__main__":
    try:
        main()
    except Exception as e:  # a failed look-up is a failed test, not a hang
        check(False, f"{type(e).__name__}: {e}")
    print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
    sys.exit(1 if failures else 0)
