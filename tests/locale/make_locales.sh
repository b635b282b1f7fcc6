#!/usr/bin/env bash
# Compiles locales into a folder of the build, for tests that run the
# program in its users' locale without changing the machine's set-up:
# the tests find them through LOCPATH.
#   tests/locale/make_locales.sh DIR ru_RU uk_UA ...
# Needs localedef and the locale sources (Debian package `locales`).
set -euo pipefail
dir=${1:?usage: make_locales.sh DIR LOCALE...}
shift
mkdir -p "$dir"
# Two at a time: each is a second or so of one processor's work.
pending=()
for name in "$@"; do
    [ -f "$dir/$name.UTF-8/LC_NUMERIC" ] && continue
    pending+=("$name")
done
# localedef warns about harmless details of some sources and then exits
# with 1 although it wrote the locale; what counts is the locale itself.
if [ ${#pending[@]} -gt 0 ]; then
    printf '%s\n' "${pending[@]}" |
        xargs -P 2 -I{} sh -c 'localedef -i "$1" -f UTF-8 "$0/$1.UTF-8" >/dev/null 2>&1 || true' "$dir" {}
fi
for name in "${pending[@]}"; do
    if [ ! -f "$dir/$name.UTF-8/LC_NUMERIC" ]; then
        echo "make_locales: could not compile $name.UTF-8 (is the Debian package 'locales' installed?)" >&2
        exit 1
    fi
done
# Each must really be a locale whose decimal separator is a comma.
for name in "$@"; do
    point=$(LOCPATH="$dir" LC_ALL="$name.UTF-8" locale decimal_point 2>/dev/null)
    [ "$point" = "," ] || { echo "make_locales: $name.UTF-8 has decimal point '$point'" >&2; exit 1; }
done
echo "make_locales: $* ready in $dir"
