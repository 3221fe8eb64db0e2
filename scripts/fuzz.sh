#!/bin/sh
# Builds every libFuzzer target with clang into build-fuzz/ and runs each for
# ${OSTREL_FUZZ_SECONDS:-60} seconds, seeded from fuzz/<area>/seeds when present.
set -eu
cd "$(dirname "$0")/.."
SECS="${OSTREL_FUZZ_SECONDS:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOSTREL_FUZZ=ON -DOSTREL_TESTS=OFF -DOSTREL_BENCH=OFF ${OSTREL_FUZZ_CMAKE_ARGS:-} > build-fuzz.configure.log 2>&1 \
  || { cat build-fuzz.configure.log; exit 1; }
cmake --build build-fuzz -j "$(nproc)" --target ostrel_fuzzers
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
status=0
for f in build-fuzz/fuzz/*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  work="build-fuzz/corpus-$name"; mkdir -p "$work"
  seeds=""
  for s in fuzz/*/seeds/"$name"; do [ -d "$s" ] && seeds="$seeds $s"; done
  echo "-- $name (${SECS}s)"
  if ! "$f" -max_total_time="$SECS" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
       "$work" $seeds > "build-fuzz/$name.log" 2>&1; then
    echo "FAILED: $name"; tail -40 "build-fuzz/$name.log"; status=1
  else
    grep -E 'stat::number_of_executed_units' "build-fuzz/$name.log" || true
  fi
done
exit $status
