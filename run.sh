#!/usr/bin/env bash
# Installs what the build needs, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/packages.sh
skimby_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
if [ ! -x build/bin/skimby ]; then
  echo "The main window is not built yet; ./test.sh runs what exists." >&2
  exit 1
fi
exec build/bin/skimby
