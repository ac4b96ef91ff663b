#!/usr/bin/env bash
# Renders the configuration window offscreen into build/configfrm.png and
# build/configfrm-selected.png, on the demo project (or the project base given), for a person to
# look at after a change of the window's layout, fonts or captions. Builds only what it needs.
#   scripts/window-picture.sh [PROJECT_BASE [ROW]]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NOTECAST_BUILD_DIR:-build}
[ -f "$build_dir/CMakeCache.txt" ] || ./scripts/build.sh --demo
cmake --build "$build_dir" --target window-picture
[ -n "${XDG_RUNTIME_DIR:-}" ] || export XDG_RUNTIME_DIR="$(mktemp -d)"  # made with mode 700, as Qt wants
"$build_dir/bin/window-picture" "${1:-examples/demo}" "$build_dir" "${2:-1}"
