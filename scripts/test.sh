#!/bin/sh
# Builds the project and runs the whole test suite (unit tests on the offscreen
# platform, end-to-end checks of the real programs under Xvfb).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
BUILD_DIR="${OSTREL_BUILD_DIR:-build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# Qt and fontconfig keep caches alive until exit; leak checking is left to the
# dedicated leak runs, address and undefined-behaviour errors still fail.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 600
