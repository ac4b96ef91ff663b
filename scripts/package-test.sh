#!/usr/bin/env bash
# Builds the Debian package from a build folder ($NOTECAST_BUILD_DIR, else ./build, already
# configured), unpacks it into a throw-away folder with dpkg -x and runs what it installed:
# notecast-host --version, and the demo replayed headless on a private JACK server, with the
# plug-in found beside the host (no --plugin, nothing registered). Fails on any error.
# The package is left in the build folder (notecast_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${NOTECAST_BUILD_DIR:-build}")
. scripts/jackd.sh

fail() {
  echo "package-test: $*" >&2
  exit 1
}

work=$(mktemp -d /tmp/notecast-package-test.XXXXXX)
cleanup() {
  jackd_stop
  rm -rf "$work"
}
trap cleanup EXIT

# The package: cpack installs the build into its own stage (building the rest of the build
# folder first, unless it was configured with CMAKE_SKIP_INSTALL_ALL_DEPENDENCY).
cmake --build "$build_dir" --target notecast-host Notecast >/dev/null
(cd "$build_dir" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
package=$(find "$work/cpack" -maxdepth 1 -name 'notecast_*.deb' | head -n 1)
[ -n "$package" ] || fail "cpack made no notecast_*.deb"
cp "$package" "$build_dir/"
version=$(dpkg-deb -f "$package" Version)
depends=$(dpkg-deb -f "$package" Depends)
echo "package-test: $(basename "$package"): Depends: $depends"
# dpkg-shlibdeps found the system libraries the programs link.
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "Depends lacks the libraries"
# What ships drives windows through Qt's own event API, never through Qt's test library.
[[ $depends != *libqt6test6* ]] ||
  fail "Depends names libqt6test6: a shipped program links Qt Test (ldd build/bin/notecast-host)"

root=$work/root
dpkg -x "$package" "$root"
for file in usr/bin/notecast-host usr/lib/notecast/Notecast.so usr/lib/notecast/libLumoTypeLib.so \
  usr/share/man/man1/notecast-host.1 usr/share/applications/notecast-host.desktop \
  usr/lib/systemd/user/notecast@.service usr/share/doc/notecast/examples/demo.Notecast \
  usr/share/doc/notecast/examples/demo.show; do
  [ -e "$root/$file" ] || fail "the package lacks /$file"
done
host=$root/usr/bin/notecast-host
# The host and the plug-in load the type library from the package, never from the build.
for program in "$host" "$root/usr/lib/notecast/Notecast.so"; do
  found=$(ldd "$program" | awk '$1 == "libLumoTypeLib.so" { print $3 }')
  if [ -z "$found" ] || [ "$(realpath "$found")" != "$root/usr/lib/notecast/libLumoTypeLib.so" ]; then
    fail "$program does not find the installed libLumoTypeLib.so (found '$found')"
  fi
done

answer=$("$host" --version)
[ "$answer" = "notecast-host $version" ] ||
  fail "--version said '$answer', not 'notecast-host $version'"
echo "package-test: $answer"

# The demo from the installed examples, in a project folder of its own; an empty registry and
# data folder, so the installed plug-in is the only one the host can find.
mkdir -p "$work/project" "$work/config" "$work/data"
examples=$root/usr/share/doc/notecast/examples
cp "$examples/demo.Notecast" "$examples/demo.show" "$work/project/"
jackd_start
status=0
(cd "$work/project" && env -u DISPLAY -u WAYLAND_DISPLAY NOTECAST_MIDI_API=jack \
  XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  "$host" --headless --project "$work/project/demo" --dmx replay:demo.show \
  >"$work/demo.out" 2>"$work/demo.err") || status=$?
last=$(tail -n 1 "$work/demo.out")
if [ "$status" -ne 0 ] || grep -q 'warning\|error' "$work/demo.err" ||
  ! [[ $last =~ \ ([1-9][0-9]*)\ sent,\ 0\ not\ sent ]]; then
  cat "$work/demo.out" "$work/demo.err" >&2
  fail "the installed demo run failed (exit status $status)"
fi
echo "package-test: installed demo: $last"
echo "package-test: passed"
