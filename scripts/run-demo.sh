#!/usr/bin/env bash
# Builds Notecast and starts the stand-in host on the demo project.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
build_dir=${NOTECAST_BUILD_DIR:-build}
exec "$build_dir/bin/notecast-host" --plugin "$build_dir/bin/Notecast.so" --project examples/demo "$@"
