#!/usr/bin/env python3
"""Kills the real program (SIGKILL) at random moments of a scripted sitting, starts it again,
continues the sitting it offers, and checks that the window and the record come back as they were:
the inputs it says it had are those reported before the kill (or one more, the input being handled
when it was killed), and the window's fingerprint and the record's digest equal those of the same
inputs played without interruption.

Usage: kill_resume.py PROGRAM [KILLS]"""

import os
import random
import signal
import subprocess
import sys
import tempfile

CODE = "D7T7-0WDZ-2"  # any readable code
VERBS = ["c", "s", "a", "t", "r"]


def script_for(rng, count):
    lines = []
    for _ in range(count):
        roll = rng.randrange(100)
        if roll < 30:
            bar = rng.choice(["HScroll1", "HScroll2", "HScroll3", "HScroll4"])
            verb = rng.choice(["a", "t", "r"])
            value = rng.randrange(0, 181) if verb == "r" else rng.choice([-1, 1])
            lines.append(f"{bar} {verb} {value}")
        elif roll < 45:
            lines.append(f"{rng.choice(['Command2', 'Command3', 'Command4'])} c 0")
        elif roll < 55:
            lines.append(f"{rng.choice(['Option5', 'Option6', 'Option7', 'Option8'])} s 0")
        elif roll < 63:
            lines.append(f"{rng.choice(['Option1', 'Option2', 'Option3', 'Option4', 'Option9'])} s 0")
        elif roll < 78:
            lines.append("Command6 c 0")
        elif roll < 82:
            lines.append(f"{rng.choice(['Option10', 'Option11', 'Option12'])} s 0")
        elif roll < 91:
            lines.append("Command5 c 0")  # ends
        else:
            lines.append("STARTbutton c 0")  # new customers
    return lines


def run(program, env, args, kill_after=None, rng=None):
    """Runs the program; returns the reported lines (split) and whether it was killed."""
    p = subprocess.Popen([program, "-platform", "offscreen", *args], env=env, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
    lines = []
    killed = False
    for raw in p.stdout:
        words = raw.split()
        lines.append(words)
        steps = sum(1 for w in lines if w[0] == "step")
        if kill_after is not None and steps >= kill_after:
            # Somewhere in the handling of the next input, or between two.
            if rng.random() < 0.5:
                for _ in range(rng.randrange(0, 20000)):
                    pass
            p.send_signal(signal.SIGKILL)
            killed = True
            break
    # What it wrote before it died is what it had done.
    lines += [raw.split() for raw in p.stdout]
    p.stdout.close()
    p.wait()
    return lines, killed


def main():
    program = os.path.abspath(sys.argv[1])
    wanted_kills = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    rng = random.Random(20261209)
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "script")
        with open(script, "w") as f:
            f.write("\n".join(script_for(rng, 800)) + "\n")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TRAINER_TEST_SCRIPT=script)

        # The same inputs without interruption, in a data folder of their own.
        env["XDG_DATA_HOME"] = os.path.join(tmp, "reference")
        lines, _ = run(program, env, ["--case", CODE])
        reference = {int(w[1]): w[2:] for w in lines if w[0] in ("start", "step")}
        assert lines[-1] == ["done"], lines[-3:]

        env["XDG_DATA_HOME"] = os.path.join(tmp, "killed")
        kills = 0
        last = 0
        args = ["--case", CODE]
        while True:
            kill_after = rng.randrange(1, 20) if kills < wanted_kills else None
            lines, killed = run(program, env, args, kill_after, rng)
            start = lines[0]
            had = int(start[1])
            if not (last <= had <= last + 1) or start[2:] != reference[had]:
                failures += 1
                print(f"kill {kills}: resumed at {had} {start[2:]}, before the kill {last}, expected "
                      f"{reference.get(had)}", file=sys.stderr)
            for w in lines:
                if w[0] == "step":
                    last = int(w[1])
                    if w[2:] != reference[last]:
                        failures += 1
                        print(f"after input {last}: {w[2:]} != {reference[last]}", file=sys.stderr)
            if not killed:
                assert lines[-1] == ["done"], lines[-3:]
                break
            kills += 1
            args = []
            env["TRAINER_TEST_RESUME"] = "1"
        print(f"{kills} kills over {len(reference) - 1} inputs, {failures} failures")
    return 1 if failures or kills < wanted_kills else 0


if __name__ == "__main__":
    sys.exit(main())
