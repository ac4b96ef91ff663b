#!/usr/bin/env bash
# Builds the Debian package in a build folder of its own ($NOTECAST_PACKAGE_BUILD_DIR, else
# ./build-package: the programs only, hardened with the distribution's flags), checks it with
# lintian (any error or warning fails), unpacks it into a throw-away folder with dpkg -x and runs
# what it installed: notecast-host --version, and the demo replayed headless, with its web page,
# on a private JACK server, with the plug-in found beside the host (no --plugin, nothing
# registered). Fails on any error. The package is left in the build folder
# (notecast_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath -m "${NOTECAST_PACKAGE_BUILD_DIR:-build-package}")
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

# The package: cpack installs the build into its own stage. The folder holds only what ships.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DNOTECAST_DPKG_BUILDFLAGS=ON -DNOTECAST_BUILD_TESTS=OFF -DNOTECAST_BUILD_BENCHMARKS=OFF \
  -DNOTECAST_WERROR="${NOTECAST_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "building $build_dir failed"; }
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
# The web page (--web) runs on Qt's HTTP server and WebSockets.
[[ $depends == *libqt6httpserver6* && $depends == *libqt6websockets6* ]] ||
  fail "Depends lacks the web page's libraries (libqt6httpserver6, libqt6websockets6)"
# What ships drives windows through Qt's own event API, never through Qt's test library.
[[ $depends != *libqt6test6* ]] ||
  fail "Depends names libqt6test6: a shipped program links Qt Test (ldd lib/notecast/libnotecast-host-core.so)"

# The package as Debian's policy checker sees it: no error, no warning, and no hardening tag
# (those of fortified calls and immediate binding are only informational).
command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps.sh installs it)"
if ! lintian --display-info --fail-on error,warning "$package" >"$work/lintian.out" 2>&1 ||
  grep -q ': hardening-' "$work/lintian.out"; then
  cat "$work/lintian.out" >&2
  fail "lintian found problems in $(basename "$package")"
fi
echo "package-test: lintian: no error, no warning"

root=$work/root
dpkg -x "$package" "$root"
for file in usr/bin/notecast-host usr/lib/notecast/libnotecast-host-core.so \
  usr/lib/notecast/Notecast.so usr/lib/notecast/libLumoTypeLib.so \
  usr/share/man/man1/notecast-host.1.gz usr/share/applications/notecast-host.desktop \
  usr/share/icons/hicolor/scalable/apps/notecast-host.svg usr/lib/systemd/user/notecast@.service \
  usr/lib/systemd/user/notecast-jackd.service usr/share/doc/notecast/copyright \
  usr/share/doc/notecast/changelog.gz usr/share/doc/notecast/manual.md \
  usr/share/doc/notecast/examples/README.md usr/share/doc/notecast/examples/demo.Notecast \
  usr/share/doc/notecast/examples/demo.show; do
  [ -e "$root/$file" ] || fail "the package lacks /$file"
done
host=$root/usr/bin/notecast-host
# The host and the plug-in load the type library from the package, never from the build (the
# program itself loads the host's library, which --version below shows it finds).
for program in "$root/usr/lib/notecast/libnotecast-host-core.so" "$root/usr/lib/notecast/Notecast.so"; do
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
  "$host" --headless --project "$work/project/demo" --dmx replay:demo.show --web 127.0.0.1:0 \
  >"$work/demo.out" 2>"$work/demo.err") || status=$?
last=$(tail -n 1 "$work/demo.out")
if [ "$status" -ne 0 ] || grep -q 'warning\|error' "$work/demo.err" ||
  ! grep -q 'the web page is at http://127.0.0.1:' "$work/demo.err" ||
  ! [[ $last =~ \ ([1-9][0-9]*)\ sent,\ 0\ not\ sent ]]; then
  cat "$work/demo.out" "$work/demo.err" >&2
  fail "the installed demo run failed (exit status $status)"
fi
echo "package-test: installed demo: $last"
echo "package-test: passed"
