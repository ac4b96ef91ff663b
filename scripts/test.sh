#!/usr/bin/env bash
# Builds Notecast and runs every test. Exit status non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
build_dir=${NOTECAST_BUILD_DIR:-build}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
