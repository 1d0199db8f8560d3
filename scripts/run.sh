#!/usr/bin/env bash
# Builds the window and starts it on its data directory (build/data).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tavo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the window under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/tavo "$@"
fi
exec build/tavo "$@"
