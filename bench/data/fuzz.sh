#!/usr/bin/env bash
# Builds the decoder's fuzz target with clang and runs it for a bounded time.
#   bench/data/fuzz.sh [seconds=150]
# Build and corpus live in build-fuzz/ at the top of the tree; findings
# (crash-*, leak-*, timeout-*) are written there too.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:-150}"
build="$top/build-fuzz"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVLX_FUZZ=ON -DVLX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_decodedownload --parallel 2

corpus="$build/corpus"
mkdir -p "$corpus"
# Seeds: the worked example, a time stamp, a summary, a missing record, end marks.
printf '\xDD\xDD\xDDST1\x021234\x02\x07\x12\x13\x14\x30\x00\x15\x02LVL\x02TMP\x02m\x02C\x02\x41\x20\x00\x00\x42\xC8\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF' >"$corpus/seed-example"
printf '\xFA\xFA\xFA\x08\x12\x13\x00\x00\x41\x20\x00\x00\x7F\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00\x00\x00\xFF\xFF\xFF\xFB\xFB\xFB' >"$corpus/seed-stamp"
printf '\xF1\xF1\xF1\x07\x12\x13\x10\x05\x41\x20\x00\x00\x40\x00\x00\x00\x07\x12\x13\x11\x06\x40\x00\x00\x00\x42\xC8\x00\x00\x07\x12\x13\x03\x07\xC0\x40\x00\x00\x40\x00\x00\x00\x07\x12\x13\x04\x08\x41\x20\x00\x00\xC0\x40\x00\x00\x42\xC8\x00\x00\x41\x20\x00\x00\xFF\xFF\xFF' >"$corpus/seed-summary"
printf '68\t44\tD\r\n02\t02\t\x02\r\n\r\n2 bytes data received.\r\n' >"$corpus/seed-dump"

cd "$build"
./bin/fuzz_decodedownload -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -25
