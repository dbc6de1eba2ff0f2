#!/usr/bin/env bash
# Fuzzes the chunk and message rules for a bounded time and prints libFuzzer's
# figures. Not part of CI. Usage: bench/fuzz_links.sh [seconds] (default 60).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${VLX_FUZZ_BUILD_DIR:-$top/build-fuzz}"
seconds="${1:-60}"

CXX=clang++ CC=clang cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVLX_FUZZ=ON -DVLX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_linkrules --parallel 2 >/dev/null

corpus="$build/corpus/linkrules"
mkdir -p "$corpus"
# A few seeds in the input layout: ceiling/flags byte, then control bytes and reads.
printf '\x20\x02OK\x01\r'                           > "$corpus/seed-text"
printf '\x90\x81\x05D\xfb\xfb\xfb\x0e\x05BITTI'      > "$corpus/seed-binary"
printf '\xa0\x04CONN\x06ECT 96\xff\x02\r\n'          > "$corpus/seed-modem"

cd "$build"
# The machine is shared: keep the sanitizer's memory modest.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=4}"
"$build/bench/fuzz_linkrules" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
  -max_len=4096 2>&1 | grep -E '^(#[0-9]+[[:space:]]+(DONE|INITED)|stat::|Done|==|SUMMARY|link rule)' || true
echo "corpus entries: $(ls "$corpus" | wc -l)"
