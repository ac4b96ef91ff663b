#!/usr/bin/env bash
# Builds the fuzzers with clang into ./build-fuzz (or $NOTECAST_FUZZ_BUILD_DIR) and runs each for
# a long time on its seed corpus (fuzz/corpus/<target>). New inputs collect in
# build-fuzz/fuzz/long/<target>; a crashing input is written there too (crash-*), and the script
# fails. Keep a crashing input as a regression case: copy it into fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh                       every fuzzer, 10 minutes each
#   scripts/fuzz.sh fuzz_profile          only the named fuzzers
#   FUZZ_SECONDS=60 scripts/fuzz.sh       another time per fuzzer
#   FUZZ_ARGS="-jobs=2" scripts/fuzz.sh   more libFuzzer arguments
#   scripts/fuzz.sh --build-only          builds them (CI then runs ctest in build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=${NOTECAST_FUZZ_BUILD_DIR:-build-fuzz}
all_fuzzers=(fuzz_profile fuzz_event_file fuzz_script_line fuzz_show_file fuzz_stdin_lines)
declare -A corpus=([fuzz_profile]=profile [fuzz_event_file]=event_file
  [fuzz_script_line]=script_line [fuzz_show_file]=show_file [fuzz_stdin_lines]=stdin_lines)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DNOTECAST_BUILD_FUZZERS=ON \
  -DNOTECAST_BUILD_TESTS=OFF -DNOTECAST_BUILD_BENCHMARKS=OFF \
  -DNOTECAST_WERROR="${NOTECAST_WERROR:-OFF}"
cmake --build "$build_dir" -j "$(nproc)" --target "${all_fuzzers[@]}"
[ "${1:-}" = --build-only ] && exit 0

fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=("${all_fuzzers[@]}")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
status=0
for fuzzer in "${fuzzers[@]}"; do
  work="$build_dir/fuzz/long/${corpus[$fuzzer]}"
  mkdir -p "$work"
  echo "fuzz: $fuzzer for ${FUZZ_SECONDS:-600} s"
  # shellcheck disable=SC2086  # FUZZ_ARGS is a list of arguments
  "$build_dir/bin/$fuzzer" -max_total_time="${FUZZ_SECONDS:-600}" -max_len=4096 \
    -artifact_prefix="$work/" -print_final_stats=1 ${FUZZ_ARGS:-} \
    "$work" "fuzz/corpus/${corpus[$fuzzer]}" || status=1
done
exit $status
