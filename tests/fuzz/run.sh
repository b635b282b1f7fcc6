#!/usr/bin/env bash
# Builds the edit-number fuzz target with clang's libFuzzer (with address and
# undefined-behaviour checks) through CMake (KORVEL_FUZZ) and runs it for a
# bounded time.
#   tests/fuzz/run.sh [seconds]      default 60
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
out="$top/build-fuzz"
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DKORVEL_FUZZ=ON -DKORVEL_WERROR=ON \
    -DKORVEL_BUILD_TESTS=OFF -DKORVEL_BUILD_TOOLS=OFF -DKORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target edit_numbers_fuzz
mkdir -p "$out/corpus"
cp -n "$top"/tests/fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
"$out/tests/fuzz/edit_numbers_fuzz" -max_total_time="$seconds" -max_len=256 -print_final_stats=1 "$out/corpus"
