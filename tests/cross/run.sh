#!/usr/bin/env bash
# The same numbers on every Debian architecture: builds cross_checksums.cpp
# with the physics sources for this machine and, with Debian's cross
# compilers, for arm64 and i386, each static at -O2 with the project's
# -ffp-contract=off, runs the foreign two under qemu-user-static and
# compares what they print with this machine's result.
#
# i386 is built as Debian builds it, with the i686 toolchain's own -march:
# x87 maths, which holds sums in 80 bits. The sweep is sized for emulation:
# arm64 flies the golden test's whole sweep (120 000 throws), i386, about
# 25 times slower under qemu, the first 6 000 input sets (24 000 throws).
#
#   tests/cross/run.sh
#
# Needs g++-aarch64-linux-gnu, g++-i686-linux-gnu and qemu-user-static;
# exits 77 when one is missing (.ci/run installs them).
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)

tools=(g++ aarch64-linux-gnu-g++ i686-linux-gnu-g++ qemu-aarch64-static qemu-i386-static)
missing=()
for t in "${tools[@]}"; do command -v "$t" >/dev/null || missing+=("$t"); done
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: not installed: ${missing[*]} (Debian packages g++-aarch64-linux-gnu g++-i686-linux-gnu qemu-user-static)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

flags=(-std=c++20 -O2 -ffp-contract=off -Wall -Wextra -Werror -static
       -I"$top/src/physics" -I"$top/tests/physics")
sources=("$top/tests/cross/cross_checksums.cpp" "$top"/src/physics/*.cpp)
native=$(dpkg --print-architecture 2>/dev/null || uname -m)

# The i386 build must do its maths on the x87 unit, as the distribution's
# packages do; with SSE maths it would prove nothing about them.
if i686-linux-gnu-g++ "${flags[@]}" -dM -E -x c++ /dev/null | grep -q __SSE2_MATH__; then
    echo "FAIL: i686-linux-gnu-g++ does its maths with SSE, not on the x87 unit"
    exit 1
fi

build() {  # COMPILER OUTPUT
    "$1" "${flags[@]}" "${sources[@]}" -o "$work/$2" || { echo "FAIL: $1 could not build the driver"; exit 1; }
}
build g++ "$native"
build aarch64-linux-gnu-g++ arm64
build i686-linux-gnu-g++ i386

arm64_sets=30000
i386_sets=6000
# The two emulated runs side by side, one a core.
qemu-aarch64-static "$work/arm64" $arm64_sets >"$work/arm64.out" 2>&1 &
arm64_pid=$!
qemu-i386-static "$work/i386" $i386_sets >"$work/i386.out" 2>&1 &
i386_pid=$!
"$work/$native" $arm64_sets >"$work/native-$arm64_sets.out" 2>&1 || { echo "FAIL: the $native driver failed"; exit 1; }
"$work/$native" $i386_sets >"$work/native-$i386_sets.out" 2>&1 || { echo "FAIL: the $native driver failed"; exit 1; }
wait $arm64_pid || echo "the arm64 driver exited with $?"
wait $i386_pid || echo "the i386 driver exited with $?"

failures=0
for run in "arm64 $arm64_sets" "i386 $i386_sets"; do
    read -r arch sets <<<"$run"
    echo "== $arch, $sets input sets, against $native"
    if diff -u --label "$native" --label "$arch" "$work/native-$sets.out" "$work/$arch.out"; then
        cat "$work/$arch.out"
    else
        echo "FAIL: $arch computes other numbers than $native"
        failures=$((failures + 1))
    fi
done
echo
if [ $failures -ne 0 ]; then
    echo "0 passed, $failures failed"
    exit 1
fi
echo "2 passed, 0 failed"
