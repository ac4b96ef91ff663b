#!/usr/bin/env bash
# Builds the programs and their tests with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer into ./build-sanitize (or $NOTECAST_SANITIZE_BUILD_DIR) and runs the test suite
# there. Any report fails its test: ASan and UBSan stop the process, LSan changes its exit status.
#   scripts/sanitize.sh [CTEST_ARGS...]   both (for instance -R window)
#   scripts/sanitize.sh --build-only      only the build
#   scripts/sanitize.sh --test-only [CTEST_ARGS...]   only the tests of a build made before
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NOTECAST_SANITIZE_BUILD_DIR:-build-sanitize}
mode=${1:-}
case "$mode" in --build-only | --test-only) shift ;; *) mode= ;; esac
if [ "$mode" != --test-only ]; then
  ./scripts/install-deps.sh
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTECAST_SANITIZE=ON \
    -DNOTECAST_BUILD_BENCHMARKS=OFF -DNOTECAST_WERROR="${NOTECAST_WERROR:-OFF}"
  cmake --build "$build_dir" -j "$(nproc)"
fi
[ "$mode" != --build-only ] || exit 0

# The suppressions name reports inside third-party libraries only (see the files for why).
supp="$PWD/tests/sanitizer"
# Child processes the tests start (notecast-host with the plug-in) inherit these.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
