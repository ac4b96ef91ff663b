#!/usr/bin/env bash
# Builds Notecast and runs every check, in four stages, each reporting its time:
#   lint      the format check and clang-tidy on every source file (scripts/lint.sh, build-lint)
#   normal    the build in ./build and its tests, then the Debian package built, unpacked and
#             run (scripts/package-test.sh)
#   sanitize  the tests built with ASan, UBSan and LSan (scripts/sanitize.sh, build-sanitize)
#   fuzz      the fuzzers built with clang, each run for a bounded number of inputs (build-fuzz)
# lint needs minutes of processor time and nothing built, while the other stages' tests mostly
# wait for their servers: it runs beside the other stages from the start, at the lowest
# priority, and is waited for at the end (its output comes then).
# NOTECAST_TEST_STAGES picks stages ("normal" for a quick run); NOTECAST_WERROR=ON makes
# warnings errors (CI). Exit status non-zero when any test of any stage fails; every stage runs.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=" ${NOTECAST_TEST_STAGES:-lint normal sanitize fuzz} "
jobs=$(nproc)

failed=()
summary=()
# Runs stage $1 with the function run_$1.
stage() {
  local start=$SECONDS result=passed
  echo "test: stage $1"
  "run_$1" || { result=FAILED; failed+=("$1"); }
  summary+=("$1: $result in $((SECONDS - start)) s")
}

# The stages run as conditions of `||`, where set -e does not act: each step's failure is
# returned by hand.
run_normal() {
  ./scripts/build.sh || return 1
  local status=0
  ctest --test-dir "${NOTECAST_BUILD_DIR:-build}" --output-on-failure -j "$jobs" || status=1
  ./scripts/package-test.sh || status=1
  return "$status"
}
run_sanitize() { ./scripts/sanitize.sh; }
run_fuzz() {
  ./scripts/fuzz.sh --build-only || return 1
  ctest --test-dir "${NOTECAST_FUZZ_BUILD_DIR:-build-fuzz}" --output-on-failure -j "$jobs" -L fuzz
}

./scripts/install-deps.sh
lint_pid=
lint_log=$(mktemp /tmp/notecast-lint.XXXXXX.log)
trap 'rm -f "$lint_log"; [ -z "$lint_pid" ] || kill "$lint_pid" 2>/dev/null || true' EXIT
if [[ $stages == *" lint "* ]]; then
  lint_start=$SECONDS
  echo "test: stage lint, beside the others (its output comes at the end)"
  nice -n 19 ./scripts/lint.sh >"$lint_log" 2>&1 &
  lint_pid=$!
fi
for name in normal sanitize fuzz; do
  if [[ $stages == *" $name "* ]]; then stage "$name"; fi
done
if [ -n "$lint_pid" ]; then
  lint_result=passed
  wait "$lint_pid" || { lint_result=FAILED; failed+=(lint); }
  lint_pid=
  if [ "$lint_result" = FAILED ]; then cat "$lint_log"; else tail -n 3 "$lint_log"; fi
  summary+=("lint: $lint_result in $((SECONDS - lint_start)) s (beside the others)")
fi

printf 'test: %s\n' "${summary[@]}"
[ ${#failed[@]} -eq 0 ]
