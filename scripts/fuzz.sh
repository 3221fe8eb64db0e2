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
# An undefined-behaviour report ends the run like a crash, so that it leaves its input.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Exit status: 1 when any target crashed or a sanitizer reported (the input that did
# it is printed as base64, ready to become a regression test); a unit that only ran
# too long is a warning with its input printed too.
status=0
for f in build-fuzz/fuzz/*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  work="build-fuzz/corpus-$name"; mkdir -p "$work"
  found="build-fuzz/findings-$name"; rm -rf "$found"; mkdir -p "$found"
  seeds=""
  for s in fuzz/*/seeds/"$name"; do [ -d "$s" ] && seeds="$seeds $s"; done
  echo "-- $name (${SECS}s)"
  if "$f" -max_total_time="$SECS" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$found/" "$work" $seeds > "build-fuzz/$name.log" 2>&1 \
     && ! grep -q -e 'runtime error:' -e '^==[0-9]*==ERROR:' "build-fuzz/$name.log"; then
    grep -E 'stat::number_of_executed_units' "build-fuzz/$name.log" || true
    continue
  fi
  if grep -q -e 'runtime error:' -e 'ERROR: AddressSanitizer' -e 'ERROR: UndefinedBehaviorSanitizer' \
          -e 'ERROR: libFuzzer: deadly signal' -e 'ERROR: libFuzzer: out-of-memory' \
          -e 'ERROR: libFuzzer: fuzz target exited' -e 'ERROR: LeakSanitizer' "build-fuzz/$name.log" \
     || ! grep -q 'ERROR: libFuzzer: timeout' "build-fuzz/$name.log"; then
    echo "FAILED: $name"; status=1
  else
    echo "WARNING: $name: a unit ran longer than the timeout"
  fi
  tail -40 "build-fuzz/$name.log"
  for a in "$found"/*; do
    [ -f "$a" ] || continue
    echo "finding $name/$(basename "$a") ($(wc -c < "$a") bytes), base64:"
    base64 "$a"
  done
done
exit $status
