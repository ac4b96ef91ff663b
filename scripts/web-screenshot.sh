#!/usr/bin/env bash
# Renders the bridge's web page into build/web-page.png (a laptop's width) and
# build/web-page-phone.png (a phone's), for a person to look at after a change of the page: the
# headless host plays the demo's recording (or the project base and recording given) on a JACK
# server of its own, and Debian's chromium, headless, takes the pictures once the page has
# watched the bridge for a few seconds. Builds only what it needs; everything stays on loopback.
#   scripts/web-screenshot.sh [PROJECT_BASE [RECORDING]]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NOTECAST_BUILD_DIR:-build}
project=${1:-examples/demo}
recording=${2:-examples/demo.show}
command -v chromium >/dev/null || { echo "web-screenshot: needs chromium (apt-get install chromium)" >&2; exit 1; }
[ -f "$build_dir/CMakeCache.txt" ] || ./scripts/build.sh --demo
cmake --build "$build_dir" --target notecast-host Notecast LumoTypeLib

source scripts/jackd.sh
work=$(mktemp -d)
host_pid=
finish() {
  [ -z "$host_pid" ] || { kill -TERM "$host_pid" 2>/dev/null; wait "$host_pid" 2>/dev/null || true; }
  jackd_stop
  rm -rf "$work"
}
trap finish EXIT
jackd_start
NOTECAST_MIDI_API=jack "$build_dir/bin/notecast-host" --plugin "$build_dir/bin/Notecast.so" \
  --project "$project" --headless --quiet --dmx "replay:$recording" --loop --web 127.0.0.1:0 \
  >/dev/null 2>"$work/host.log" &
host_pid=$!
address=
for _ in $(seq 1 100); do
  address=$(grep -o 'the web page is at http://[^ ]*' "$work/host.log" | cut -d' ' -f6 || true)
  [ -n "$address" ] && break
  sleep 0.05
done
[ -n "$address" ] || { cat "$work/host.log" >&2; exit 1; }

shoot() {  # WIDTH HEIGHT FILE
  # --no-sandbox: chromium's own sandbox cannot start as root. The resolver rules keep every name
  # but this machine's unresolved.
  chromium --headless=new --no-sandbox --disable-gpu --no-first-run --disable-extensions \
    --disable-background-networking --disable-component-update --disable-sync \
    --host-resolver-rules="MAP * ~NOTFOUND, EXCLUDE 127.0.0.1" --user-data-dir="$work/profile" \
    --hide-scrollbars --window-size="$1,$2" --virtual-time-budget=3000 --screenshot="$3" \
    "$address" 2>>"$work/chromium.log" >/dev/null
  echo "web-screenshot: $3"
}
shoot 1200 1300 "$build_dir/web-page.png"
shoot 390 1700 "$build_dir/web-page-phone.png"
