#!/usr/bin/env bash
# Sourced by scripts that need a JACK server of their own: a private server on the dummy driver
# (no sound hardware), under its own name, so a user's JACK server is never disturbed.
#   jackd_start   starts it and exports JACK_DEFAULT_SERVER for the clients started afterwards
#   jackd_stop    stops it (by its process id)
#   jack_wait_port NAME   waits until the port NAME exists

jackd_start() {
  export JACK_DEFAULT_SERVER=${JACK_DEFAULT_SERVER:-notecast-$$}
  export JACK_NO_START_SERVER=1  # clients must not start servers of their own
  JACKD_LOG=$(mktemp /tmp/notecast-jackd.XXXXXX.log)
  jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$JACKD_LOG" 2>&1 &
  JACKD_PID=$!
  local i
  for i in $(seq 1 100); do jack_lsp >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "jackd did not start:" >&2
  cat "$JACKD_LOG" >&2
  return 1
}

jackd_stop() {
  [ -n "${JACKD_PID:-}" ] || return 0
  kill -TERM "$JACKD_PID" 2>/dev/null || true
  wait "$JACKD_PID" 2>/dev/null || true
  rm -f "$JACKD_LOG"
  unset JACKD_PID
}

jack_wait_port() {
  local i
  for i in $(seq 1 200); do jack_lsp 2>/dev/null | grep -qx "$1" && return 0; sleep 0.05; done
  return 1
}
