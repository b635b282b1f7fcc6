#!/usr/bin/env bash
# Installs Korvel into a scratch DESTDIR and builds its Debian package, then
# checks what a desktop and a package manager will see: exactly the expected
# files, a valid menu entry and AppStream metadata that agree with each other
# and with the installed program and icons, icons of the sizes their folders
# promise, manual pages in English and Russian that man reads without a
# warning, a release history whose newest entry is this version, and a
# package with the right fields, Qt 6 dependencies and contents that lintian
# passes without an error or a warning.
#
#   check_install.sh BUILD_DIR CMAKE CPACK VERSION
#
# Exits 77 (reported by CTest as skipped) when a tool it needs is missing.
set -uo pipefail

build=$1 cmake=$2 cpack=$3 version=$4
app_id=org.korvel.Korvel
skip=77

missing=()
for tool in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian man lexgrog; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: not installed: ${missing[*]} (Debian packages desktop-file-utils appstream dpkg-dev lintian man-db)"
    exit $skip
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
section() { echo "== $*"; }

# The value of KEY in the [Desktop Entry] group of a desktop file.
desktop_key() {
    sed -n '/^\[Desktop Entry\]/,/^\[/p' "$1" | sed -n "s/^$2=//p"
}

# Width and height of a PNG file from its IHDR chunk, as "WxH"; empty when the
# file is not a PNG.
png_size() {
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
    local w h
    w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    echo "${w}x${h}"
}

sizes=(16 24 32 48 64 128 256)
expected_files() {
    echo usr/bin/korvel
    echo usr/share/applications/$app_id.desktop
    echo usr/share/metainfo/$app_id.metainfo.xml
    for s in "${sizes[@]}"; do echo "usr/share/icons/hicolor/${s}x${s}/apps/korvel.png"; done
    echo usr/share/icons/hicolor/scalable/apps/korvel.svg
    echo usr/share/doc/korvel/copyright
    echo usr/share/doc/korvel/LICENSE-LiberationSans.txt
    echo usr/share/doc/korvel/changelog.gz
    echo usr/share/man/man1/korvel.1.gz
    echo usr/share/man/ru/man1/korvel.1.gz
}
expected_files | sort >"$work/expected"

# ---------------------------------------------------------------------------
section "cmake --install into a DESTDIR"
root=$work/root
if ! DESTDIR=$root "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    fail "cmake --install failed"
    exit 1
fi
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
if ! diff -u "$work/expected" "$work/installed"; then
    fail "installed files differ from the expected list (- missing, + unexpected)"
fi

# ---------------------------------------------------------------------------
section "the program"
bin=$root/usr/bin/korvel
if [ ! -x "$bin" ]; then
    fail "usr/bin/korvel is not an executable file"
elif [ "$(od -An -c -N4 "$bin" | tr -d ' ')" != '177ELF' ]; then
    fail "usr/bin/korvel is not an ELF program"
elif ldd "$bin" | grep -q 'not found'; then
    ldd "$bin" | grep 'not found'
    fail "usr/bin/korvel needs libraries that are not installed"
fi

# ---------------------------------------------------------------------------
section "the menu entry"
desktop=$root/usr/share/applications/$app_id.desktop
if ! desktop-file-validate "$desktop"; then
    fail "desktop-file-validate rejects $app_id.desktop"
fi
[ "$(desktop_key "$desktop" Type)" = Application ] || fail "Type is not Application"
[ "$(desktop_key "$desktop" Name)" = "Эффект Корвеля" ] || fail "Name is not «Эффект Корвеля»"
comment=$(desktop_key "$desktop" Comment)
cyrillic=абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ
if ! printf '%s' "$comment" | LC_ALL=C.UTF-8 grep -q "[$cyrillic]"; then
    fail "Comment is missing or not in Russian: '$comment'"
fi
categories=$(desktop_key "$desktop" Categories)
for c in Education Science Physics; do
    [[ ";$categories" == *";$c;"* ]] || fail "Categories '$categories' lacks $c"
done
exec_cmd=$(desktop_key "$desktop" Exec)
[ "${exec_cmd%% *}" = korvel ] || fail "Exec '$exec_cmd' does not start korvel"
[ -x "$root/usr/bin/${exec_cmd%% *}" ] || fail "Exec names '${exec_cmd%% *}', which is not installed in usr/bin"
icon=$(desktop_key "$desktop" Icon)
[ "$icon" = korvel ] || fail "Icon is '$icon', not korvel"

# ---------------------------------------------------------------------------
section "the icons"
for s in "${sizes[@]}"; do
    png=$root/usr/share/icons/hicolor/${s}x${s}/apps/$icon.png
    [ -f "$png" ] || { fail "no ${s}x${s} icon named '$icon'"; continue; }
    got=$(png_size "$png")
    [ "$got" = "${s}x${s}" ] || fail "hicolor/${s}x${s}/apps/$icon.png is '${got:-not a PNG}'"
    # Colour type 6 (RGBA) at byte 25: the icons need a transparent ground.
    [ "$(od -An -tu1 -j25 -N1 "$png" | tr -d ' ')" = 6 ] || fail "hicolor/${s}x${s} icon has no alpha channel"
done
svg=$root/usr/share/icons/hicolor/scalable/apps/$icon.svg
if [ -f "$svg" ] && ! grep -q '<svg[^>]*viewBox=' "$svg"; then
    fail "scalable/apps/$icon.svg is not an SVG drawing with a viewBox"
fi

# ---------------------------------------------------------------------------
section "the AppStream metadata"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if ! appstreamcli validate --no-net "$metainfo"; then
    fail "appstreamcli rejects $app_id.metainfo.xml"
fi
tag() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$metainfo" | head -n1; }
[ "$(tag id)" = $app_id ] || fail "metainfo id '$(tag id)' does not match its file name"
[ "$(tag metadata_license)" = CC0-1.0 ] || fail "metadata_license is not CC0-1.0"
[ -n "$(tag project_license)" ] || fail "no project_license"
launchable=$(tag launchable)
[ -f "$root/usr/share/applications/$launchable" ] || fail "launchable '$launchable' is not an installed desktop file"
binary=$(tag binary)
[ -x "$root/usr/bin/$binary" ] || fail "provided binary '$binary' is not installed"
grep -q '<description>' "$metainfo" || fail "no description"
shot=$(tag image)
[[ "$shot" == https://*.png ]] || fail "screenshot image '$shot' is not an https PNG address"
release=$(sed -n 's|.*<release [^>]*version="\([^"]*\)".*|\1|p' "$metainfo" | head -n1)
[ "$release" = "$version" ] || fail "newest release in metainfo is '$release', the project is $version"

# ---------------------------------------------------------------------------
section "the manual pages"
for page in man1/korvel.1.gz ru/man1/korvel.1.gz; do
    file=$root/usr/share/man/$page
    [ -f "$file" ] || continue
    # As lintian reads a page: any warning of man or groff is a fault.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns about $page: $warnings"
    lexgrog "$file" | grep -q ': "korvel - ' || fail "$page has no NAME line that whatis can read: $(lexgrog "$file")"
    zcat "$file" | grep -q "^\.TH KORVEL 1 \"[0-9-]*\" \"korvel $version\"" || fail "$page does not name version $version"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$file" 2>/dev/null)
    for word in Escape Ctrl+Shift+C Ctrl+S Enter Menu LANG QT_SCALE_FACTOR QT_QPA_PLATFORM; do
        grep -qF -- "$word" <<<"$text" || fail "$page does not tell of $word"
    done
done

# ---------------------------------------------------------------------------
section "the release history"
changelog=$root/usr/share/doc/korvel/changelog.gz
if [ -f "$changelog" ]; then
    zcat "$changelog" >"$work/changelog"
    newest=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1)
    [ "$newest" = "$version" ] || fail "the changelog's newest entry is '$newest', the project is $version"
fi

# ---------------------------------------------------------------------------
section "the Debian package"
if ! (cd "$build" && "$cpack" -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack -G DEB failed"
else
    debs=("$work"/deb/*.deb)
    deb=${debs[0]}
    arch=$(dpkg --print-architecture)
    [ "$(basename "$deb")" = "korvel_${version}_${arch}.deb" ] || fail "package file is named $(basename "$deb")"
    dpkg-deb -f "$deb"
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = korvel ] || fail "Package is '$(field Package)'"
    [ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
    [ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
    [[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
    description=$(field Description)
    [ "$(printf '%s\n' "$description" | wc -l)" -ge 2 ] || fail "Description has no long part"
    # A semicolon there is a CMake list separator that leaked into the text.
    [[ "$description" != *";"* ]] || fail "Description was mangled into a CMake list"
    # Packages the program's libraries come from, each with a version bound.
    depends=$(field Depends)
    for p in libqt6widgets6 libqt6gui6 libqt6core6 libfreetype6 libstdc++6 libc6; do
        [[ ", $depends," == *", $p (>= "[0-9]*")",* ]] || fail "Depends lacks '$p (>= ...)': $depends"
    done

    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort >"$work/packaged"
    if ! diff -u "$work/expected" "$work/packaged"; then
        fail "package contents differ from the expected list (- missing, + unexpected)"
    fi
    # Apart from the program, which cpack strips, the package holds the very
    # files cmake --install puts down.
    dpkg-deb -x "$deb" "$work/unpacked"
    while read -r f; do
        [ "$f" = usr/bin/korvel ] && continue
        cmp -s "$root/$f" "$work/unpacked/$f" || fail "packaged $f differs from the installed one"
    done <"$work/expected"
    [ -x "$work/unpacked/usr/bin/korvel" ] || fail "packaged usr/bin/korvel is not executable"

    section "lintian"
    # Errors and warnings fail; the informational tags are shown too.
    lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1
    lintian_status=$?
    grep -v 'root privileges' "$work/lintian.log"
    [ $lintian_status -eq 0 ] || fail "lintian reports errors or warnings on the package (exit $lintian_status)"
fi

echo
if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all install and package checks passed"
