#!/usr/bin/env bash
# Builds Notecast and runs every check, in four stages, each reporting its time:
#   normal    the build in ./build and its tests, then the Debian package built, unpacked and
#             run (scripts/package-test.sh)
#   lint      the format and clang-tidy checks (CTest label lint in ./build), one test per
#             source file
#   sanitize  the tests built with ASan, UBSan and LSan (scripts/sanitize.sh, build-sanitize)
#   fuzz      the fuzzers built with clang, each run for a bounded number of inputs (build-fuzz)
# lint takes minutes of processor time but waits for nothing, while the other stages' tests
# mostly wait for their servers: it runs beside them at a lower priority, from the moment the
# normal build is there, and is waited for at the end.
# NOTECAST_TEST_STAGES picks stages ("normal" for a quick run); NOTECAST_WERROR=ON makes
# warnings errors (CI). Exit status non-zero when any test of any stage fails; every stage runs.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=" ${NOTECAST_TEST_STAGES:-normal lint sanitize fuzz} "
build_dir=${NOTECAST_BUILD_DIR:-build}
jobs=$(nproc)

failed=()
summary=()
# Runs stage $1 with the function run_$1, in the foreground.
stage() {
  local start=$SECONDS result=passed
  echo "test: stage $1"
  "run_$1" || { result=FAILED; failed+=("$1"); }
  summary+=("$1: $result in $((SECONDS - start)) s")
}

# The stages run as conditions of `||`, where set -e does not act: each step's failure is
# returned by hand.
run_build() { ./scripts/build.sh; }
run_normal() {
  local status=0
  ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" -LE lint || status=1
  ./scripts/package-test.sh || status=1
  return "$status"
}
run_sanitize() { ./scripts/sanitize.sh; }
run_fuzz() {
  ./scripts/fuzz.sh --build-only || return 1
  ctest --test-dir "${NOTECAST_FUZZ_BUILD_DIR:-build-fuzz}" --output-on-failure -j "$jobs" -L fuzz
}

if [[ $stages == *" normal "* || $stages == *" lint "* ]]; then
  stage build
fi

lint_pid=
lint_log=$(mktemp /tmp/notecast-lint.XXXXXX.log)
trap 'rm -f "$lint_log"; [ -z "$lint_pid" ] || kill "$lint_pid" 2>/dev/null || true' EXIT
if [[ $stages == *" lint "* && ${#failed[@]} -eq 0 ]]; then
  lint_start=$SECONDS
  echo "test: stage lint, beside the others (output at the end)"
  nice -n 19 ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" -L lint \
    >"$lint_log" 2>&1 &
  lint_pid=$!
fi

if [[ $stages == *" normal "* && ${#failed[@]} -eq 0 ]]; then stage normal; fi
if [[ $stages == *" sanitize "* ]]; then stage sanitize; fi
if [[ $stages == *" fuzz "* ]]; then stage fuzz; fi

if [ -n "$lint_pid" ]; then
  lint_result=passed
  wait "$lint_pid" || { lint_result=FAILED; failed+=(lint); }
  lint_pid=
  if [ "$lint_result" = FAILED ]; then cat "$lint_log"; else tail -n 3 "$lint_log"; fi
  summary+=("lint: $lint_result in $((SECONDS - lint_start)) s (beside the others)")
fi

printf 'test: %s\n' "${summary[@]}"
[ ${#failed[@]} -eq 0 ]
