#!/usr/bin/env bash
# Runs one fuzz target from its seed corpus for a number of seconds:
#   fuzz/run.sh <target> <seconds> [build folder, default build-fuzz] [libFuzzer flags...]
# New inputs go to <build folder>/fuzz-work/<target>, never into the checked-in
# corpus; a crash leaves its input there as crash-* and fails the run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
target="$1"
seconds="$2"
build="${3:-$here/../build-fuzz}"
shift $(($# < 3 ? $# : 3))
work="$build/fuzz-work/$target"
mkdir -p "$work"
cd "$work"
exec "$build/bin/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
  -print_final_stats=1 "$@" "$work" "$here/corpus/$target"
