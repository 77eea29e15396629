#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 60) from its seed corpus in tests/fuzz/corpus/<name>/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVELLA_FUZZ=ON -DCORVELLA_BENCH=OFF >/dev/null
targets=$(cd tests/fuzz && ls *_fuzz.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -n "$targets" ] || { echo "fuzz: no targets"; exit 0; }
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets -j "$(nproc)"
for t in $targets; do
  corpus=tests/fuzz/corpus/${t%_fuzz}
  work=build-fuzz/corpus/$t
  mkdir -p "$work"
  seeds=()
  [ -d "$corpus" ] && seeds=("$corpus")
  echo "fuzz: $t for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" \
    -max_len=70000 -timeout=10 -print_final_stats=0 "$work" "${seeds[@]}" 2>&1 | tail -n 3
done
echo "fuzz: all targets ran clean"
