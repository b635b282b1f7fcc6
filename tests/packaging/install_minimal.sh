#!/usr/bin/env bash
# Installs the Debian package on a minimal Debian 12 system and starts it
# there: debootstrap --variant=minbase bookworm into a scratch folder, then
# in a chroot `apt-get install --no-install-recommends ./korvel_*.deb xvfb
# xauth`, which must bring in everything the program needs, then korvel
# under xvfb-run. From outside, through the chroot's X server, the main
# window must show with its title and size, and draw.
#
#   tests/packaging/install_minimal.sh build/korvel_VERSION_ARCH.deb [SCREENSHOT.png]
#
# Needs root, debootstrap and a Debian mirror (MIRROR, default
# deb.debian.org); on this side xdotool, xwininfo and ImageMagick. A failed
# download fails the test and says so.
set -uo pipefail

deb=${1:?usage: install_minimal.sh KORVEL.deb [SCREENSHOT.png]}
keep_shot=${2:-}
mirror=${MIRROR:-http://deb.debian.org/debian}
suite=bookworm

fail() { echo "FAIL: $*"; exit 1; }
step() { echo "== $* ($(date +%T))"; }

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot)"
for tool in debootstrap chroot xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (Debian packages debootstrap xdotool x11-utils imagemagick)"
done
[ -f "$deb" ] || fail "no package $deb: build it with (cd build && cpack -G DEB)"

root=$(mktemp -d "${TMPDIR:-/var/tmp}/korvel-minbase.XXXXXX")
# The chroot's / must be readable by apt's own user, as a real / is.
chmod 755 "$root"
mounted=""
cleanup() {
    # Ends whatever still runs in the chroot (only processes rooted there),
    # then takes its /proc away before the folder goes.
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    if [ -n "$mounted" ]; then
        sleep 0.2
        umount "$root/proc" || umount -l "$root/proc" || { echo "could not unmount $root/proc; left $root"; return; }
    fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

step "debootstrap --variant=minbase $suite from $mirror"
if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.log" 2>&1; then
    tail -n 20 "$root.log"
    rm -f "$root.log"
    fail "debootstrap could not build a minimal $suite (download failed or mirror unreachable: see above)"
fi
rm -f "$root.log"

mount -t proc proc "$root/proc" && mounted=yes || fail "cannot mount /proc in the chroot"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME=/root "$@"; }

step "apt-get install --no-install-recommends $(basename "$deb") xvfb xauth"
cp "$deb" "$root/tmp/" || fail "cannot copy $deb into the chroot"
if ! in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "/tmp/$(basename "$deb")" xvfb xauth >"$root/tmp/apt.log" 2>&1; then
    tail -n 30 "$root/tmp/apt.log"
    fail "apt-get could not install the package and its dependencies (a failed download or an unmet dependency: see above)"
fi
grep -E '^(Fetched|[0-9]+ upgraded)' "$root/tmp/apt.log"
in_root dpkg-query -W -f='${Package} ${Version} ${Status}\n' korvel | grep -q ' install ok installed$' ||
    fail "korvel is not installed in the chroot"
[ -f "$root/usr/share/man/man1/korvel.1.gz" ] || fail "no manual page in the installed system"

step "korvel under xvfb-run"
# xvfb-run picks a free display (-a) and keeps its cookie where this side
# can read it; the inner shell says which display it got.
in_root xvfb-run -a -f /tmp/xauth -s "-screen 0 1024x768x24 -nolisten tcp" \
    sh -c 'echo "$DISPLAY" >/tmp/display; exec korvel' >"$root/tmp/korvel.log" 2>&1 &
for _ in $(seq 200); do [ -s "$root/tmp/display" ] && break; sleep 0.1; done
[ -s "$root/tmp/display" ] || { cat "$root/tmp/korvel.log"; fail "xvfb-run started no X server in the chroot"; }
export DISPLAY XAUTHORITY=$root/tmp/xauth
DISPLAY=$(cat "$root/tmp/display")

wid=""
for _ in $(seq 300); do
    wid=$(xdotool search --onlyvisible --name '^Эффект Корвеля$' 2>/dev/null | head -n1)
    [ -n "$wid" ] && break
    sleep 0.1
done
if [ -z "$wid" ]; then
    cat "$root/tmp/korvel.log"
    fail "the installed korvel showed no window named «Эффект Корвеля» within 30 s"
fi
read -r w h < <(xwininfo -id "$wid" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
[ "$w x $h" = "855 x 518" ] || fail "the main window is $w x $h, not 855 x 518"
# Drawn: the dialog, its buttons and the flight field's grid give the
# window many colours; an unpainted one has one.
sleep 1
import -window "$wid" "$root/tmp/window.png" || fail "cannot take a screenshot of the window"
colours=$(convert "$root/tmp/window.png" -format %k info:)
[ "$colours" -ge 8 ] || fail "the window shows only $colours colours: it did not draw"
[ -n "$keep_shot" ] && cp "$root/tmp/window.png" "$keep_shot"
echo "korvel's window shows, $w x $h, $colours colours"
echo "install on a minimal $suite: passed"
