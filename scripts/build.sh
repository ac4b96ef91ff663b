#!/usr/bin/env bash
# Configures and builds Notecast into ./build (or $NOTECAST_BUILD_DIR), installing the Debian
# packages it needs first. Used by the run and test scripts. NOTECAST_WERROR=ON makes the
# project's warnings errors (CI).
#   scripts/build.sh [CMAKE_ARGS...]          everything: programs, tests, benchmarks
#   scripts/build.sh --demo [CMAKE_ARGS...]   only the host, the plug-in and its library
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NOTECAST_BUILD_DIR:-build}
if [ "${1:-}" = --demo ]; then
  shift
  ./scripts/install-deps.sh run
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${NOTECAST_BUILD_TYPE:-RelWithDebInfo} \
    -DNOTECAST_BUILD_TESTS=OFF -DNOTECAST_BUILD_BENCHMARKS=OFF \
    -DNOTECAST_WERROR="${NOTECAST_WERROR:-OFF}" "$@"
  cmake --build "$build_dir" -j "$(nproc)" --target notecast-host Notecast LumoTypeLib
  exit 0
fi
./scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${NOTECAST_BUILD_TYPE:-RelWithDebInfo} \
  -DNOTECAST_BUILD_TESTS=ON -DNOTECAST_BUILD_BENCHMARKS=ON -DNOTECAST_WERROR="${NOTECAST_WERROR:-OFF}" "$@"
cmake --build "$build_dir" -j "$(nproc)"
