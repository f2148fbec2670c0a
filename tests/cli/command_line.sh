#!/usr/bin/env bash
# The program's command line: help and version without a display, usage errors with exit 2,
# and Qt's own options still reaching Qt.
# Usage: command_line.sh PROGRAM VERSION
set -uo pipefail
program=$1 version=$2
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run EXPECTED_STATUS ARGS...: runs the program with no display at all.
run() {
  local expected=$1; shift
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$program" "$@" >"$out" 2>"$err"
  local status=$?
  [ "$status" -eq "$expected" ] || fail "'$*' exited $status, expected $expected: $(head -c 300 "$err")"
}

run 0 --help
grep -q "^Usage: refraction-trainer \[options\]" "$out" || fail "--help prints no usage"
grep -q -- "--version" "$out" || fail "--help does not list --version"

for v in --version -v; do
  run 0 "$v"
  [ "$(cat "$out")" = "refraction-trainer $version" ] || fail "$v printed '$(cat "$out")'"
done

# Unknown options and stray arguments: one line naming them, then the usage, on stderr.
QT_QPA_PLATFORM=offscreen timeout 10 "$program" --bogus >"$out" 2>"$err"
status=$?
[ "$status" -eq 2 ] || fail "--bogus exited $status, expected 2"
grep -q "^refraction-trainer: Unknown option 'bogus'.$" "$err" || fail "--bogus: no error line: $(cat "$err")"
grep -q "^Usage: refraction-trainer" "$err" || fail "--bogus: no usage"
[ ! -s "$out" ] || fail "--bogus wrote to standard output"

QT_QPA_PLATFORM=offscreen timeout 10 "$program" stray >"$out" 2>"$err"
status=$?
[ "$status" -eq 2 ] || fail "a stray argument exited $status, expected 2"
grep -q "^refraction-trainer: Unexpected argument 'stray'.$" "$err" || fail "stray: no error line"

# A case code: a good one, typed loosely, plays; a bad one is a usage error like an unknown option.
run 0 --help
grep -q -- "--case <CODE>" "$out" || fail "--help does not list --case"
QT_QPA_PLATFORM=offscreen timeout 10 "$program" --case "1234-5678-Z" >"$out" 2>"$err"
status=$?
[ "$status" -eq 2 ] || fail "a bad code exited $status, expected 2"
[ "$(grep -c "^refraction-trainer:" "$err")" -eq 1 ] || fail "a bad code: not one error line: $(cat "$err")"
grep -q "^refraction-trainer: 問題コードが正しくありません: 1234-5678-Z$" "$err" || fail "a bad code: no error line: $(cat "$err")"
grep -q "^Usage: refraction-trainer" "$err" || fail "a bad code: no usage"
[ ! -s "$out" ] || fail "a bad code wrote to standard output"
QT_QPA_PLATFORM=offscreen timeout 10 "$program" --case >"$out" 2>"$err"
[ $? -eq 2 ] || fail "--case without a code did not exit 2"
timeout 3 "$program" -platform offscreen --case "o123 4567-b" >"$out" 2>"$err"
status=$?
[ "$status" -eq 124 ] || fail "a good code: the program exited $status instead of running: $(head -c 300 "$err")"

# Qt takes its own options: the window opens and stays open until stopped.
timeout 3 "$program" -platform offscreen -style fusion -reverse >"$out" 2>"$err"
status=$?
[ "$status" -eq 124 ] || fail "Qt's options: the program exited $status instead of running: $(head -c 300 "$err")"

[ "$failures" -eq 0 ]
