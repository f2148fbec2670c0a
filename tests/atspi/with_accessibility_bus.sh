#!/usr/bin/env bash
# Runs a command against the trainer as a screen reader meets it: a virtual X display, a private
# session bus, the accessibility bus (at-spi-bus-launcher) and the program with Qt's AT-SPI bridge
# switched on. Everything started here is stopped on the way out, whatever happens.
#
#   with_accessibility_bus.sh PROGRAM COMMAND...
#
# PROGRAM is started on the display; COMMAND then runs with DISPLAY, DBUS_SESSION_BUS_ADDRESS and
# TRAINER_PID set, and its status is the script's. Exits 77 (skipped) when a tool is missing.
set -euo pipefail

program=$1
shift

skip() {
  echo "SKIPPED: $1 (bash scripts/deps installs it)"
  exit 77
}
for tool in Xvfb dbus-daemon xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || skip "$launcher (at-spi2-core) is missing"
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' 2>/dev/null ||
  skip "the AT-SPI client library for python3 (gir1.2-atspi-2.0, python3-gi) is missing"

work=$(mktemp -d)
groups=()
cleanup() {
  local status=$?
  # Each helper was started in a process group of its own (set -m), which takes its children
  # (the accessibility bus daemon and registry) with it.
  for ((i = ${#groups[@]} - 1; i >= 0; i--)); do kill -TERM -- "-${groups[i]}" 2>/dev/null || true; done
  sleep 0.3
  for g in "${groups[@]}"; do kill -KILL -- "-$g" 2>/dev/null || true; done
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
set -m

# Waits up to $2 tenths of a second for file $1 to have content.
wait_for_file() {
  for ((t = 0; t < $2; t++)); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
groups+=($!)
wait_for_file "$work/display" 100 || {
  echo "Xvfb did not start"
  cat "$work/xvfb.log"
  exit 1
}
export DISPLAY=":$(head -n1 "$work/display")"

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >"$work/dbus.log" 2>&1 &
groups+=($!)
wait_for_file "$work/bus" 100 || {
  echo "the session bus did not start"
  exit 1
}
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
unset AT_SPI_BUS_ADDRESS

# The launcher takes org.a11y.Bus on the session bus and starts the accessibility bus at once;
# the program and the client both find it there.
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
groups+=($!)
for ((t = 0; t < 100; t++)); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
  sleep 0.1
done

# No print server: printing fails at once and shows its notice, and nothing reaches a real printer.
CUPS_SERVER=/nonexistent/cups.sock QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 "$program" >"$work/program.log" 2>&1 &
groups+=($!)
export TRAINER_PID=$!

status=0
"$@" || status=$?
if [ "$status" -ne 0 ]; then
  echo "--- the program's output:"
  cat "$work/program.log"
fi
exit "$status"
