#!/usr/bin/env bash
# Installs the Debian 12 packages Notecast needs. `install-deps.sh run`: what building and running
# the host and the plug-in take (the demo); `install-deps.sh` (or `test`): everything, tests,
# checks, fuzzers and the package included. Safe to run again: apt skips what is already there.
set -euo pipefail

run_packages=(
  # build the host, the plug-in and its library
  build-essential cmake ninja-build pkg-config qt6-base-dev librtmidi-dev libjack-jackd2-dev
  libasound2-dev libola-dev libxcb1-dev
  # the bridge's web page (--web): Qt's HTTP server and WebSockets
  qt6-httpserver-dev qt6-websockets-dev
  # run the demo: a private JACK server and its MIDI monitor where no MIDI system runs, and the
  # font the window's captions are laid out for
  jackd2 jack-tools fonts-liberation
)
test_packages=(
  "${run_packages[@]}"
  # the tests, the benchmarks and the checks
  libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy
  # the fuzzers: clang with libFuzzer and its sanitizer runtimes (the sanitizer build uses gcc's)
  clang libclang-rt-14-dev
  # the tests' OLA daemon and tools, a virtual display, offscreen fonts
  ola xvfb xauth fonts-dejavu-core
  # namespaces of their own for the tests that start JACK servers and OLA daemons
  iproute2
  # the bridge on PipeWire's JACK library: the daemon, its JACK library and session manager
  pipewire pipewire-jack wireplumber
  # the browser that the web page's test drives (headless, through its DevTools protocol)
  chromium
  # the lighting console of the console chain test: a desktop program, which starts no service
  qlcplus
  # the Debian package (cpack -G DEB, scripts/package-test.sh): dpkg-shlibdeps and
  # dpkg-buildflags, and lintian to check it
  dpkg-dev lintian
)
case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [run|test]" >&2; exit 2 ;;
esac

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# The ola package starts its daemon on install with the default configuration, which enables
# network plugins (Art-Net, sACN, ...). Keep it from starting with network plugins on: no daemon
# arguments, and the daemon is only ever started by our own scripts with every network plugin off.
if [ ! -f /etc/default/ola ]; then
  echo 'DAEMON_ARGS=""' | sudo_if_needed tee /etc/default/ola >/dev/null
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
sudo_if_needed apt-get update -qq
sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
