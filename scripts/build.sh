#!/bin/sh
# Configures and builds the project into ${OSTREL_BUILD_DIR:-build} (programs in build/bin/).
# OSTREL_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${OSTREL_BUILD_DIR:-build}"
SAN="${OSTREL_SANITIZE:-0}"
if [ "$SAN" = "1" ]; then SANOPT=ON; else SANOPT=OFF; fi
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${OSTREL_BUILD_TYPE:-RelWithDebInfo}" \
      -DOSTREL_SANITIZE="$SANOPT" ${OSTREL_CMAKE_ARGS:-} > "$BUILD_DIR.configure.log" 2>&1 \
  || { cat "$BUILD_DIR.configure.log"; exit 1; }
cmake --build "$BUILD_DIR" -j "$(nproc)"
