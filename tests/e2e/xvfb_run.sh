#!/usr/bin/env bash
# End to end on a real X display with a real window manager, in the users'
# locale when the tests compiled it (LOCPATH): start the program as a user
# would and judge it from the window manager's properties and screenshots.
#   - "Пуск" with the mouse: the default throw lands where it must;
#   - Enter on a focused "Диаграммы" opens the Diagrams window;
#   - the colour dialog is in Russian, adds a custom colour, and holds back
#     only the main dialog: the Diagrams window still pans meanwhile;
#   - a radius that is no number brings up the validation message, whose
#     caption shows uncut in the title bar;
#   - the About box opens from the window's menu;
#   - Escape stops a running flight and leaves its trace, Space flies again;
#   - every window is fixed in size: no maximising, no resizing;
#   - closing the program leaves nothing in the user's configuration folder;
#   - named a locale that is not installed, the program still starts.
#   tests/e2e/xvfb_run.sh [path/to/korvel]
# Needs Xvfb, openbox, xdotool, xprop and xwininfo, ImageMagick (Debian:
# xvfb openbox xdotool x11-utils imagemagick).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
prog=${1:-$top/build/src/korvel}
for tool in Xvfb openbox xdotool xprop xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "e2e: skipped, $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
prog_pid=""
cleanup() {
    [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
fail() {
    echo "e2e: FAILED: $*" >&2
    [ -f "$work/shot.png" ] && cp "$work/shot.png" "$top/build/e2e-failure.png" 2>/dev/null &&
        echo "e2e: screenshot kept in build/e2e-failure.png" >&2
    if [ -f "$work/korvel.log" ]; then
        echo "e2e: the program's output:" >&2
        tail -n 40 "$work/korvel.log" >&2
    fi
    exit 1
}
ok() {
    echo "e2e: $*"
    passed=$((passed + 1))
}

# The users' locale, when the tests made it available.
if [ -n "${LOCPATH:-}" ] && [ -d "$LOCPATH/ru_RU.UTF-8" ]; then
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
fi
echo "e2e: locale ${LC_ALL:-${LANG:-C}}"

# A display of our own; Xvfb picks a free number and tells it.
exec 3<>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
# A loaded machine (the sanitizer runs) can take seconds to start it.
for _ in $(seq 600); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
[ -s "$work/displayfd" ] || fail "the X server did not start: $(tail -n 5 "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/displayfd")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# The window manager, with a home of its own.
mkdir -p "$work/wm"
HOME="$work/wm" openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 600); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" ||
    fail "the window manager did not start: $(tail -n 5 "$work/openbox.log")"

# The user's home: empty, to see that the program writes nothing there.
home="$work/home"
mkdir -p "$home/.config"

shot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
# The first visible window named like "$1", within 20 s (xdotool's own
# --sync looks only every half second).
window() {
    local id
    for _ in $(seq 400); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    return 1
}
# Takes screenshots until pixel ($1, $2) has colour $3, for up to 6 s.
wait_pixel() {
    for _ in $(seq 60); do
        shot
        [ "$(pixel "$1" "$2")" = "$3" ] && return 0
        sleep 0.1
    done
    return 1
}
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'; }
size() { xwininfo -id "$1" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}'; }
visible_count() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
wait_gone() {
    for _ in $(seq 40); do [ "$(visible_count "$1")" -le "$2" ] && return 0; sleep 0.1; done
    return 1
}

# A fixed-size window offers neither maximising nor resizing.
check_fixed() {
    local actions
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    case "$actions" in
    *MAXIMIZE* | *_NET_WM_ACTION_RESIZE*) fail "$2 can be maximised or resized: $actions" ;;
    esac
}

# Width of the caption text in a window's title bar: the light pixels of
# the label, between the frame's icon and its buttons.
caption_width() {
    local x y w h top
    read -r x y < <(origin "$1")
    read -r w h < <(size "$1")
    top=$(xprop -id "$1" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')
    shot
    convert "$work/shot.png" -crop "$((w - 24 - 60))x$((top))+$((x + 24))+$((y - top))" +repage \
        -colorspace Gray -threshold 92% -trim -format "%w" info: 2>/dev/null
}
# The same, once the window manager has drawn the caption of an active
# window: the same width twice running.
settled_caption_width() {
    local last=-1 now
    for _ in $(seq 30); do
        now=$(caption_width "$1")
        [ "$now" -gt 1 ] && [ "$now" = "$last" ] && break
        last=$now
        sleep 0.1
    done
    echo "$now"
}
# Waits until the window manager stacks window $1 above window $2.
wait_above() {
    local list
    for _ in $(seq 50); do
        list=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | while read -r w; do printf '%d\n' "$w"; done)
        [ "$(printf '%s\n' "$list" | grep -n -x "$1" | cut -d: -f1)" -gt "$(printf '%s\n' "$list" | grep -n -x "$2" | cut -d: -f1)" ] && return 0
        sleep 0.1
    done
    return 1
}

HOME="$home" XDG_CONFIG_HOME="$home/.config" "$prog" >"$work/korvel.log" 2>&1 &
prog_pid=$!
wid=$(window "^Эффект Корвеля$") || fail "main window did not appear"
[ "$(xdotool getwindowname "$wid")" = "Эффект Корвеля" ] || fail "window title is $(xdotool getwindowname "$wid")"
check_fixed "$wid" "the main dialog"
read -r mx my < <(origin "$wid")
title_width=$(settled_caption_width "$wid")
ok "main dialog titled and fixed in size (caption $title_width px wide)"

# The flight field at client (12, 12) shows buffer (800, 490) on.
screen_of() { echo $((mx + 12 + $1 - 800)) $((my + 12 + $2 - 490)); }

# "Пуск": client rectangle (650, 427) 194 x 36.
xdotool mousemove $((mx + 650 + 97)) $((my + 427 + 18)) click 1

# The default throw lands at x 23.53 m: ball box (1108, 957)-(1124, 973).
read -r bx by < <(screen_of 1113 957) # top row of the landing ball
read -r sx sy < <(screen_of 1108 964) # its left side, on the ground line
read -r lx ly < <(screen_of 812 965)  # the trace where the flight began
landed=""
for _ in $(seq 150); do
    shot
    if [ "$(pixel "$bx" "$by")" = "0,0,255" ]; then
        landed=yes
        break
    fi
    sleep 0.1
done
[ -n "$landed" ] || fail "no ball on the ground line at the landing point (pixel $(pixel "$bx" "$by"))"
[ "$(pixel "$sx" "$sy")" = "0,0,255" ] || fail "landing ball's side not on the ground line"
[ "$(pixel "$lx" "$ly")" = "0,0,255" ] || fail "no trace at the launch point"
# Nothing lands beyond: the ground line right of the ball is still black.
read -r gx gy < <(screen_of 1200 965)
[ "$(pixel "$gx" "$gy")" = "0,0,0" ] || fail "ground line beyond the landing point is not black"
ok "default flight landed where expected"

# "Диаграммы" (client (650, 466) 194 x 36) gets the focus from a press that
# is dragged off before it comes up, which clicks nothing; then Enter.
xdotool mousemove $((mx + 747)) $((my + 484)) mousedown 1 mousemove $((mx + 747)) $((my + 560)) mouseup 1
sleep 0.3
[ "$(visible_count "^Зависимость V")" -eq 0 ] || fail "the Diagrams window opened without Enter"
xdotool key Return
did=$(window "^Зависимость V") || fail "Enter on a focused \"Диаграммы\" opened no Diagrams window"
check_fixed "$did" "the Diagrams window"
read -r dx dy < <(origin "$did")
ok "Enter on the focused \"Диаграммы\" opened the Diagrams window"

# "Расчёт" (client (654, 458) 164 x 37).
xdotool mousemove $((dx + 736)) $((dy + 476)) click 1
sleep 0.2

# The colour dialog, from the swatch (client (750, 239)-(844, 257)).
xdotool windowactivate --sync "$wid"
xdotool mousemove $((mx + 797)) $((my + 248)) click 1
cid=$(window "^Цвет$") || fail "the colour dialog did not appear"
check_fixed "$cid" "the colour dialog"
read -r cx cy < <(origin "$cid")
sleep 0.3
# "Добавить к пользовательским цветам" adds the current colour (blue) to
# the first custom colour.
xdotool mousemove $((cx + 123)) $((cy + 347)) click 1
wait_pixel $((cx + 25)) $((cy + 294)) "0,0,255" || fail "no custom colour added (is the dialog laid out differently?)"
# Meanwhile the Diagrams window comes forward with a click on its caption,
# takes a click on its upper arrow (client (732, 353) 24 x 26) and pans.
xdotool mousemove $((dx + 300)) $((dy - 10)) click 1
wait_above "$did" "$cid" || fail "the Diagrams window did not come forward"
shot
chart_before=$(convert "$work/shot.png" -crop 610x490+$((dx + 12))+$((dy + 12)) +repage -format "%#" info:)
xdotool mousemove $((dx + 744)) $((dy + 366)) click 1
for _ in $(seq 30); do
    shot
    chart_after=$(convert "$work/shot.png" -crop 610x490+$((dx + 12))+$((dy + 12)) +repage -format "%#" info:)
    [ "$chart_before" != "$chart_after" ] && break
    sleep 0.1
done
[ "$chart_before" != "$chart_after" ] || fail "the Diagrams window did not pan while the colour dialog was open"
[ "$(visible_count "^Цвет$")" -eq 1 ] || fail "the colour dialog went away"
# OK (client (344, 362) 80 x 26).
xdotool windowactivate --sync "$cid"
xdotool mousemove $((cx + 384)) $((cy + 381)) click 1
wait_gone "^Цвет$" 0 || fail "the colour dialog did not close with OK"
ok "colour dialog: custom colour added, Diagrams window panned meanwhile"

# A radius that is no number (edit at client (797, 55) 35 x 23): the
# validation message, the shortest there is, appears as a window of its
# own with its caption in full.
xdotool windowactivate --sync "$wid"
xdotool mousemove $((mx + 814)) $((my + 66)) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "x"
found=""
for _ in $(seq 100); do
    sleep 0.1
    if [ "$(visible_count "^Эффект Корвеля$")" -ge 2 ]; then
        found=yes
        break
    fi
done
[ -n "$found" ] || fail "no validation message after typing radius x"
bid=$(xdotool search --onlyvisible --name "^Эффект Корвеля$" | grep -v "^$wid$" | head -n1)
check_fixed "$bid" "the message box"
box_width=$(settled_caption_width "$bid")
[ "$box_width" -ge "$((title_width - 2))" ] || fail "the message box's caption is cut: $box_width px of $title_width"
xdotool key Return
wait_gone "^Эффект Корвеля$" 1 || fail "the message box did not close"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "0.1"
ok "validation message shown for radius x, its caption uncut"

# The About box, from the window's menu (the background's context menu).
xdotool mousemove $((mx + 5)) $((my + 510)) click 3
sleep 0.5
xdotool key Down Return
aid=$(window "^О программе") || fail "the About box did not appear"
check_fixed "$aid" "the About box"
xdotool key Escape
wait_gone "^О программе" 0 || fail "the About box did not close"
ok "About box opened and closed"

# Escape stops a slow flight where it is and leaves the dialog open; the
# focus is back on "Пуск", so Space flies again. The field is cleared for
# each flight ("Сохранять траектории", client (650, 306) 140 x 18, off), and
# a frame lasts 300 ms (delay edit, client (797, 203) 35 x 23).
blue_in_field() {
    shot
    convert "$work/shot.png" -crop 610x490+$((mx + 12))+$((my + 12)) +repage \
        -fill white +opaque "#0000FF" -fill black -opaque "#0000FF" -format "%[fx:int((1-mean)*w*h+0.5)]" info:
}
xdotool windowactivate --sync "$wid"
xdotool mousemove $((mx + 720)) $((my + 315)) click 1
xdotool mousemove $((mx + 814)) $((my + 214)) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "300"
xdotool mousemove $((mx + 650 + 97)) $((my + 427 + 18)) click 1
sleep 1
xdotool key Escape
# Once the last frame is on the screen, nothing more is drawn for longer
# than two frames.
stopped=$(blue_in_field)
for _ in $(seq 10); do
    sleep 0.3
    now=$(blue_in_field)
    [ "$now" = "$stopped" ] && break
    stopped=$now
done
sleep 0.8
[ "$(blue_in_field)" = "$stopped" ] || fail "the flight went on after Escape"
[ "$(visible_count "^Эффект Корвеля$")" -eq 1 ] || fail "Escape during a flight closed the dialog"
# The new flight clears the field and shows its first ball at once; its
# later frames come 300 ms apart.
xdotool key space
again=$stopped
for _ in $(seq 20); do
    again=$(blue_in_field)
    [ "$again" -lt "$stopped" ] && break
done
[ "$again" -lt "$stopped" ] || fail "Space after the stopped flight started no new one ($again blue pixels, $stopped before)"
xdotool key Escape
ok "Escape stopped a flight ($stopped blue pixels kept), Space flew again"

# Closing the program, as the window manager asks it to.
xdotool windowactivate --sync "$wid"
xdotool key alt+F4
for _ in $(seq 50); do kill -0 "$prog_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$prog_pid" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$prog_pid" || fail "the program ended with status $?"
prog_pid=""
written=$(find "$home/.config" -type f; find "$home" -name "*.conf")
[ -z "$written" ] || fail "the program wrote into the user's folders: $written"
ok "closed; nothing written to the configuration folder"

# A locale that is not installed.
LANG=xx_YY.UTF-8 LC_ALL=xx_YY.UTF-8 HOME="$home" "$prog" >"$work/korvel.log" 2>&1 &
prog_pid=$!
# The caption in the legacy property follows the locale's character set,
# which here is plain ASCII; window managers show the Unicode one.
xid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$prog_pid" | head -n1) ||
    fail "the program did not start under a locale that is not installed"
xprop -id "$xid" _NET_WM_NAME | grep -q '"Эффект Корвеля"' || fail "caption under a locale that is not installed: $(xprop -id "$xid" _NET_WM_NAME)"
xdotool windowactivate --sync "$xid"
xdotool key alt+F4
for _ in $(seq 50); do kill -0 "$prog_pid" 2>/dev/null || break; sleep 0.1; done
wait "$prog_pid" || fail "under a locale that is not installed the program ended with status $?"
prog_pid=""
ok "started and closed under a locale that is not installed"

echo "e2e: $passed passed, 0 failed"
