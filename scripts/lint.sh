#!/usr/bin/env bash
# The format check and clang-tidy on every source of the product, one CTest test per library
# (label lint, cmake/Lint.cmake), in ./build-lint (or $NOTECAST_LINT_BUILD_DIR): configured like
# the normal build, so clang-tidy sees the same flags, and never built. Extra arguments go to
# ctest (for instance -R tidy/notecast_window). Fails when any source fails a check.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=${NOTECAST_LINT_BUILD_DIR:-build-lint}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTECAST_LINT=ON \
  -DNOTECAST_BUILD_TESTS=OFF -DNOTECAST_BUILD_BENCHMARKS=OFF >/dev/null
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" -L lint "$@"
