#!/usr/bin/env bash
# End to end on a real X display: start the program as a user would, press
# "Пуск" with the mouse, and judge the result from a screenshot alone; then
# type an out-of-range mass and see the validation message appear.
#   tests/e2e/xvfb_run.sh [path/to/korvel]
# Needs Xvfb, xdotool and ImageMagick (Debian: xvfb xdotool imagemagick).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
prog=${1:-$top/build/src/korvel}
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "e2e: skipped, $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid=""
prog_pid=""
cleanup() {
    [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "e2e: FAILED: $*" >&2
    [ -f "$work/shot.png" ] && cp "$work/shot.png" "$top/build/e2e-failure.png" 2>/dev/null && \
        echo "e2e: screenshot kept in build/e2e-failure.png" >&2
    echo "e2e: the program's output:" >&2
    tail -n 40 "$work/korvel.log" >&2 || true
    exit 1
}

# A display of our own; Xvfb picks a free number and tells it.
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

"$prog" >"$work/korvel.log" 2>&1 &
prog_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Эффект Корвеля" | head -n1) || fail "main window did not appear"
[ "$(xdotool getwindowname "$wid")" = "Эффект Корвеля" ] || fail "window title is $(xdotool getwindowname "$wid")"
xdotool windowfocus --sync "$wid" || true

shot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }

# Without a window manager the client area starts at the window's position
# (150, 190); the flight field at client (12, 12) shows buffer (800, 490) on.
screen_of() { echo $((150 + 12 + $1 - 800)) $((190 + 12 + $2 - 490)); }

# "Пуск": client rectangle (650, 427) 194 x 36.
xdotool mousemove $((150 + 650 + 97)) $((190 + 427 + 18)) click 1

# The default throw lands at x 23.53 m: ball box (1108, 957)-(1124, 973).
read -r bx by < <(screen_of 1113 957)   # top row of the landing ball
read -r sx sy < <(screen_of 1108 964)   # its left side, on the ground line
read -r lx ly < <(screen_of 812 965)    # the trace where the flight began
landed=""
for _ in $(seq 60); do
    sleep 0.5
    shot
    if [ "$(pixel "$bx" "$by")" = "0,0,255" ]; then landed=yes; break; fi
done
[ -n "$landed" ] || fail "no ball on the ground line at the landing point (pixel $(pixel "$bx" "$by"))"
[ "$(pixel "$sx" "$sy")" = "0,0,255" ] || fail "landing ball's side not on the ground line"
[ "$(pixel "$lx" "$ly")" = "0,0,255" ] || fail "no trace at the launch point"
# Nothing lands beyond: the ground line right of the ball is still black.
read -r gx gy < <(screen_of 1200 965)
[ "$(pixel "$gx" "$gy")" = "0,0,0" ] || fail "ground line beyond the landing point is not black"
echo "e2e: default flight landed where expected"

# An out-of-range mass: the validation message appears as a window of its own.
xdotool mousemove $((150 + 797 + 17)) $((190 + 26 + 11)) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "9"
found=""
for _ in $(seq 40); do
    sleep 0.25
    if [ "$(xdotool search --onlyvisible --name "Эффект Корвеля" | wc -l)" -ge 2 ]; then found=yes; break; fi
done
[ -n "$found" ] || fail "no validation message after typing mass 9"
echo "e2e: validation message shown for mass 9"
echo "e2e: 2 passed, 0 failed"
