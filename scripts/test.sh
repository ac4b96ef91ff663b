#!/usr/bin/env bash
# Builds Notecast and runs every test, in three stages, each in its own build folder:
#   normal    the build in ./build and the whole test suite, then the Debian package built,
#             unpacked and run (scripts/package-test.sh)
#   sanitize  the same suite built with ASan, UBSan and LSan (scripts/sanitize.sh, build-sanitize)
#   fuzz      the fuzzers built with clang, each run for a bounded number of inputs (build-fuzz)
# NOTECAST_TEST_STAGES picks stages ("normal" for a quick run). Exit status non-zero when any
# test of any stage fails; every stage runs and reports its time.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=${NOTECAST_TEST_STAGES:-normal sanitize fuzz}

# The stages run as conditions of `if`, where set -e does not act: each step's failure is
# returned by hand.
run_normal() {
  ./scripts/build.sh || return 1
  local status=0
  ctest --test-dir "${NOTECAST_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" || status=1
  ./scripts/package-test.sh || status=1
  return "$status"
}
run_sanitize() { ./scripts/sanitize.sh; }
run_fuzz() {
  ./scripts/fuzz.sh --build-only || return 1
  ctest --test-dir "${NOTECAST_FUZZ_BUILD_DIR:-build-fuzz}" --output-on-failure -j "$(nproc)" -L fuzz
}

failed=()
summary=()
for stage in $stages; do
  start=$SECONDS
  echo "test: stage $stage"
  if "run_$stage"; then result=passed; else result=FAILED; failed+=("$stage"); fi
  summary+=("$stage: $result in $((SECONDS - start)) s")
done
printf 'test: %s\n' "${summary[@]}"
[ ${#failed[@]} -eq 0 ]
