#!/usr/bin/env bash
# Configures and builds Notecast into ./build (or $NOTECAST_BUILD_DIR). Used by the run and test
# scripts; installs the Debian packages it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=${NOTECAST_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${NOTECAST_BUILD_TYPE:-RelWithDebInfo} "$@"
cmake --build "$build_dir" -j "$(nproc)"
