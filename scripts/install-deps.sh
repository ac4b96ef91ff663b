#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Notecast need.
# Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
  librtmidi-dev libjack-jackd2-dev libasound2-dev libola-dev libbenchmark-dev clang-format clang-tidy
  # the fuzzers: clang with libFuzzer and its sanitizer runtimes (the sanitizer build uses gcc's)
  clang libclang-rt-14-dev
  # run and test: a private JACK server, the OLA daemon and tools, offscreen fonts
  jackd2 jack-tools ola xvfb xauth fonts-dejavu-core fonts-liberation
  # the Debian package (cpack -G DEB, scripts/package-test.sh): dpkg-shlibdeps, and file to find
  # the programs in it
  dpkg-dev file
)

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
