#!/usr/bin/env bash
# Builds the suite with sanitizers and runs it.
#   tests/sanitizers/run.sh address    address + undefined behaviour: every test
#   tests/sanitizers/run.sh thread     data races: the tests that run the
#                                      flight thread (the main dialog's tests
#                                      and the real-display run); nothing
#                                      else of the program starts a thread
# Both build at -O1, the level these sanitizers are meant for: it compiles
# in about three quarters of the time of -O2 and reports the same (the
# flight's results hold at every level, which a golden test checks).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
kind=${1:?usage: run.sh address|thread}
here="$top/tests/sanitizers"
case "$kind" in
address)
    dir="$top/build-asan"
    flags="address,undefined"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    targets=(all)
    select=()
    ;;
thread)
    dir="$top/build-tsan"
    flags="thread"
    export TSAN_OPTIONS="suppressions=$here/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
    # Qt's own event dispatcher instead of the GLib one: GLib, also
    # uninstrumented, frees memory across Qt's helper threads in ways the
    # sanitizer cannot follow.
    export QT_NO_GLIB=1
    targets=(test_flight korvel)
    select=(-R "^(flight|e2e)")
    ;;
*)
    echo "usage: run.sh address|thread" >&2
    exit 2
    ;;
esac
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DKORVEL_SANITIZE="$flags" -DKORVEL_WERROR=ON -DKORVEL_BUILD_TOOLS=OFF -DKORVEL_BUILD_BENCH=OFF
cmake --build "$dir" --target "${targets[@]}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2 -E packaging "${select[@]}"
