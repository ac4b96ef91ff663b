#!/usr/bin/env bash
# Builds Notecast and runs every check, in four stages, each reporting its time:
#   lint      the format check and clang-tidy on every source (scripts/lint.sh, build-lint)
#   normal    the build in ./build and its tests, then the Debian package built hardened in
#             build-package, checked with lintian, unpacked and run (scripts/package-test.sh)
#   sanitize  the tests built with ASan, UBSan and LSan (scripts/sanitize.sh, build-sanitize)
#   fuzz      the fuzzers built with clang, each run for a bounded number of inputs (build-fuzz)
# The tests mostly wait (for servers, for the host, for time to pass) while builds keep both
# cores busy, so the stages overlap: lint runs from the start at the lowest priority; the
# sanitizer build runs while the normal tests do, the fuzz stage while the sanitizer tests do,
# each at a lower priority than the tests. Output of what runs beside comes when it is done.
# NOTECAST_TEST_STAGES picks stages ("normal" for a quick run); NOTECAST_WERROR=ON makes
# warnings errors (CI). Exit status non-zero when any test of any stage fails; every stage runs.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=" ${NOTECAST_TEST_STAGES:-lint normal sanitize fuzz} "
jobs=$(nproc)
logs=$(mktemp -d /tmp/notecast-test.XXXXXX)
background=()
trap 'for pid in "${background[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$logs"' EXIT

failed=()
summary=()
wants() { [[ $stages == *" $1 "* ]]; }
# Each step returns its failure by hand: they run as conditions, where set -e does not act.
normal_build() { ./scripts/build.sh; }
normal_tests() {
  local status=0
  ctest --test-dir "${NOTECAST_BUILD_DIR:-build}" --output-on-failure -j "$jobs" || status=1
  ./scripts/package-test.sh || status=1
  return "$status"
}
sanitize_build() { ./scripts/sanitize.sh --build-only; }
# The console chain test waits for its desk, and PipeWire's JACK library is not built for the
# sanitizers; the normal stage runs both.
sanitize_tests() { ./scripts/sanitize.sh --test-only -LE 'console|pipewire'; }
lint_all() { ./scripts/lint.sh; }
fuzz_all() {
  ./scripts/fuzz.sh --build-only || return 1
  ctest --test-dir "${NOTECAST_FUZZ_BUILD_DIR:-build-fuzz}" --output-on-failure -j "$jobs" -L fuzz
}

# start NAME NICENESS STEP: runs STEP beside, into its log; finish NAME waits for it.
start() {
  echo "test: $1 beside the rest, at priority $2 (its output comes when it is done)"
  date +%s >"$logs/$1.start"
  (
    renice -n "$2" -p "$BASHPID" >/dev/null
    "$3"
  ) >"$logs/$1.log" 2>&1 &
  echo $! >"$logs/$1.pid"
  background+=($!)
}
finish() {
  local status=0
  wait "$(cat "$logs/$1.pid")" || status=1
  echo "test: $1 done ($( ((status)) && echo FAILED || echo passed))"
  if ((status)); then cat "$logs/$1.log"; else tail -n 3 "$logs/$1.log"; fi
  echo $(($(date +%s) - $(cat "$logs/$1.start"))) >"$logs/$1.seconds"
  return "$status"
}
# step NAME STEP: runs STEP in the foreground, timed.
step() {
  local start=$SECONDS status=0
  echo "test: $1"
  "$2" || status=1
  echo $((SECONDS - start)) >"$logs/$1.seconds"
  return "$status"
}
seconds() { cat "$logs/$1.seconds" 2>/dev/null || echo 0; }
# record STAGE STATUS DETAIL
record() {
  if (($2)); then failed+=("$1"); fi
  summary+=("$1: $( (($2)) && echo FAILED || echo passed) ($3)")
}

./scripts/install-deps.sh
if wants lint; then start lint 19 lint_all; fi

normal_status=0
if wants normal; then step "normal build" normal_build || normal_status=1; fi
if wants sanitize; then start "sanitize build" 10 sanitize_build; fi
if wants normal && ((normal_status == 0)); then step "normal tests" normal_tests || normal_status=1; fi
if wants normal; then
  record normal "$normal_status" "build $(seconds "normal build") s, tests $(seconds "normal tests") s"
fi

if wants sanitize; then
  sanitize_status=0
  finish "sanitize build" || sanitize_status=1
  if wants fuzz; then start fuzz 10 fuzz_all; fi
  if ((sanitize_status == 0)); then step "sanitize tests" sanitize_tests || sanitize_status=1; fi
  record sanitize "$sanitize_status" \
    "build $(seconds "sanitize build") s beside, tests $(seconds "sanitize tests") s"
elif wants fuzz; then
  start fuzz 0 fuzz_all
fi
if wants fuzz; then
  fuzz_status=0
  finish fuzz || fuzz_status=1
  record fuzz "$fuzz_status" "$(seconds fuzz) s beside"
fi
if wants lint; then
  lint_status=0
  finish lint || lint_status=1
  record lint "$lint_status" "$(seconds lint) s beside, at the lowest priority"
fi

echo "test: all in $SECONDS s"
printf 'test: %s\n' "${summary[@]}"
[ ${#failed[@]} -eq 0 ]
