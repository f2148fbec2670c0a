#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary folder (no install), checks what it
# holds and starts the unpacked program under a virtual X display until its window is mapped.
set -euo pipefail
build="$1"
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -f "$deb" Package Depends Section

for f in usr/bin/refraction-trainer \
         usr/share/applications/refraction-trainer.desktop \
         usr/share/metainfo/refraction-trainer.metainfo.xml \
         usr/share/icons/hicolor/256x256/apps/refraction-trainer.png \
         usr/share/icons/hicolor/48x48/apps/refraction-trainer.png; do
  [ -e "$work/root/$f" ] || { echo "missing in package: $f"; exit 1; }
done
grep -q '^Categories=Education;' "$work/root/usr/share/applications/refraction-trainer.desktop"
grep -q '^Name\[ja\]=' "$work/root/usr/share/applications/refraction-trainer.desktop"
dpkg-deb -f "$deb" Depends | grep -q fonts-ipafont-gothic

# A display of our own, so the test neither needs nor disturbs one.
for n in $(seq 90 140); do
  [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

DISPLAY="$display" QT_QPA_PLATFORM=xcb "$work/root/usr/bin/refraction-trainer" &
app_pid=$!
for _ in $(seq 100); do
  if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Form1"'; then
    kill -0 "$app_pid"  # still running with its window up
    echo "window shown: $(xwininfo -display "$display" -name Form1 | grep -E 'Width|Height' | tr -s ' ' | tr '\n' ' ')"
    exit 0
  fi
  kill -0 "$app_pid" 2>/dev/null || { echo "the unpacked program ended before showing its window"; exit 1; }
  sleep 0.1
done
echo "no window named Form1 within 10 s"
exit 1
