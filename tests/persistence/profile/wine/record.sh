#!/usr/bin/env bash
# Re-records recording.txt: what the Windows profile functions answer under wine to the calls of
# WindowsProfileCases.cpp. Run it after changing the cases, where wine and the mingw compiler are
# installed (Debian: apt-get install wine wine64 gcc-mingw-w64-x86-64). It builds the wine test
# into ./build-wine (or $NOTECAST_WINE_BUILD_DIR) and runs it, which writes the recording and
# compares the store with wine live. Exit status non-zero when wine could not be run or the store
# answers differently; the recording is written in the second case all the same.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../../.." && pwd)
build_dir=${NOTECAST_WINE_BUILD_DIR:-$root/build-wine}
for program in wine x86_64-w64-mingw32-gcc; do
  command -v "$program" >/dev/null || { echo "record: $program is not installed" >&2; exit 1; }
done
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target persistence_wine_tests -j "$(nproc)"
NOTECAST_WINE_RECORDING="$here/recording.txt" \
  "$build_dir/bin/persistence_wine_tests" --gtest_filter='WineProfileTest.*'
echo "record: wrote $here/recording.txt"
