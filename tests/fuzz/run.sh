#!/usr/bin/env bash
# Builds the edit-number fuzz target with clang's libFuzzer (with address and
# undefined-behaviour checks) and runs it for a bounded time.
#   tests/fuzz/run.sh [seconds]      default 60
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
out="$top/build-fuzz"
mkdir -p "$out/corpus"
cp -n "$top"/tests/fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$top/src/platform/window" \
    "$top/tests/fuzz/edit_numbers_fuzz.cpp" "$top/src/platform/window/edit_numbers.cpp" \
    -o "$out/edit_numbers_fuzz"
"$out/edit_numbers_fuzz" -max_total_time="$seconds" -max_len=256 -print_final_stats=1 "$out/corpus"
