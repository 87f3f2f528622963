#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/packages.sh
skimby_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKIMBY_WERROR=ON >/dev/null
cmake --build build
cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
