#!/usr/bin/env bash
# Installs what the build needs, builds the program and starts it from its
# build folder, where it finds its server list and alert sound.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the window on (DISPLAY is not set)." >&2
  echo "Start it on a desktop, or on a virtual X server:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh" >&2
  exit 1
fi

. ./scripts/packages.sh
skimby_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target skimby
exec build/bin/skimby
