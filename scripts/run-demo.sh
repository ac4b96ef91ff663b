#!/usr/bin/env bash
# Builds Notecast and plays the demo: the stand-in host loads the plug-in on the demo project
# (examples/demo.Notecast) and replays a ten-second DMX recording (examples/demo.show) into it.
# The events send MIDI to Notecast's own output port, Notecast:out.
#
# With a display the host opens its window (Configure shows the plug-in's); without one it runs
# headless and prints its status. Where no MIDI system runs (no ALSA sequencer, no JACK server),
# a private JACK server is started and the MIDI messages are printed as they arrive.
# Extra arguments go to the host (for instance --loop).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh --demo
build_dir=${NOTECAST_BUILD_DIR:-build}
host=("$build_dir/bin/notecast-host" --plugin "$build_dir/bin/Notecast.so" --project examples/demo
      --dmx replay:examples/demo.show)
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || host+=(--headless)

if [ -e /dev/snd/seq ] || jack_lsp >/dev/null 2>&1; then
  echo "run-demo: MIDI goes to Notecast:out; watch it with aseqdump -p Notecast:out or jack_midi_dump"
  exec "${host[@]}" "$@"
fi

# No MIDI system: a private JACK server, and a monitor that prints what reaches it.
. scripts/jackd.sh
trap 'kill ${monitor_pid:-} 2>/dev/null || true; jackd_stop' EXIT
jackd_start
export NOTECAST_MIDI_API=jack
echo "run-demo: private JACK server $JACK_DEFAULT_SERVER; MIDI from Notecast:out is printed below"
# Line by line, also into a pipe or a log: the monitor ends by a signal, with no flush.
stdbuf -oL jack_midi_dump &
monitor_pid=$!
"${host[@]}" "$@" &
host_pid=$!
if jack_wait_port Notecast:out && jack_wait_port midi-monitor:input; then
  jack_connect Notecast:out midi-monitor:input
fi
wait "$host_pid"
