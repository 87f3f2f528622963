#!/usr/bin/env bash
# Measures the program as an operator runs it, on the X display it is given:
#  1. start-up: from starting `skimby` to its window being shown, without
#     the start-up sound (the alert file is left out), over several runs;
#  2. load: connected to the practice server streaming --rate spot lines a
#     second (--member-share of them member spots), the program's share of
#     one core and its resident memory over --duration seconds, read from
#     /proc/<pid>/stat and /proc/<pid>/status.
# The program runs from a folder of its own under /tmp, with a call sign
# set, so the build folder's settings are left alone. Connect is pressed
# with xdotool. Needs the build's member-data host on 127.0.0.1 (the
# default, 127.0.0.1:8073), where the practice server's member list is
# served. Usage (as root on a machine without a desktop):
#   xvfb-run -a -s '-screen 0 1280x1024x24' scripts/measure.sh --duration 600
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION=600
RATE=300
SHARE=0.1
RUNS=5
SOUND=on
WARMUP=10
usage() {
  sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
  echo "Options: --duration SECONDS (600) --rate LINES (300) --member-share F (0.1)"
  echo "         --runs N (5 start-ups) --sound on|off (on) --warmup SECONDS (10)"
}
while [ $# -gt 0 ]; do
  case "$1" in
    --duration) DURATION=$2; shift 2 ;;
    --rate) RATE=$2; shift 2 ;;
    --member-share) SHARE=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --sound) SOUND=$2; shift 2 ;;
    --warmup) WARMUP=$2; shift 2 ;;
    --help|-h) usage; exit 0 ;;
    *) echo "measure.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
  esac
done

if [ -z "${DISPLAY:-}" ]; then
  echo "measure.sh: no X display (DISPLAY is not set). Run it on a virtual one:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' scripts/measure.sh" >&2
  exit 1
fi
for tool in xdotool xev; do
  command -v "$tool" >/dev/null || { echo "measure.sh: $tool is missing (scripts/packages.sh)" >&2; exit 1; }
done

[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target skimby skimby-practice >/dev/null
member_host=$(sed -n 's/^SKIMBY_MEMBER_HOST:STRING=//p' build/CMakeCache.txt)
case "$member_host" in
  127.0.0.1:*) http_port=${member_host#127.0.0.1:} ;;
  *) echo "measure.sh: the build fetches members from $member_host, not from 127.0.0.1" >&2; exit 1 ;;
esac

work=$(mktemp -d -t skimby-measure.XXXXXX)
skimby_pid=
practice_pid=
cleanup() {
  [ -n "$skimby_pid" ] && kill -TERM "$skimby_pid" 2>/dev/null && wait "$skimby_pid" 2>/dev/null
  [ -n "$practice_pid" ] && kill -TERM "$practice_pid" 2>/dev/null && wait "$practice_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

ms_now() { echo $(($(date +%s%N) / 1000000)); }

# The program in a folder of its own: program file, server list, a call
# sign (no call-sign dialog), and the alert only when asked for.
prepare_folder() {
  local telnet_port=$1 with_sound=$2
  rm -rf "$work/app" && mkdir -p "$work/app"
  cp build/bin/skimby "$work/app/"
  printf 'Practice server\t127.0.0.1\t%s\r\n' "$telnet_port" >"$work/app/telnet.ini"
  printf '[Telnet]\r\nMycall=DL1ABC\r\nServnr=0\r\n[Form]\r\nLeft=100\r\nTop=100\r\n' \
    >"$work/app/Skimby.ini"
  if [ "$with_sound" = yes ]; then cp build/bin/x.wav "$work/app/"; fi
}

# The id of the shown main window of the given process, waiting for it.
shown_window() {
  local pid=$1 limit=$2 start id
  start=$(ms_now)
  while [ $(($(ms_now) - start)) -lt "$limit" ]; do
    id=$(xdotool search --onlyvisible --pid "$pid" --name '^Skimby$' 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    # Each search is a new connection to the X server; back to back they
    # can fill its queue of waiting connections, and the program's own
    # connection is then refused.
    sleep 0.1
  done
  return 1
}

# Milliseconds from starting the program until the X server maps its
# window, told by xev listening on the root window (no polling that would
# take processor time from the program).
startup_once() {
  local events=$work/map-events start waited=0
  : >"$events"
  xev -root -event substructure >"$events" 2>/dev/null &
  local xev_pid=$!
  sleep 0.5  # listening by then
  start=$(ms_now)
  "$work/app/skimby" >/dev/null 2>&1 &
  skimby_pid=$!
  until grep -q MapNotify "$events"; do
    sleep 0.002
    waited=$((waited + 1))
    [ "$waited" -lt 5000 ] || { echo "measure.sh: no window within 10 s" >&2; exit 1; }
  done
  echo $(($(ms_now) - start))
  kill "$xev_pid"; wait "$xev_pid" 2>/dev/null || true
  shown_window "$skimby_pid" 5000 >/dev/null  # it was this program's window
  kill -TERM "$skimby_pid"; wait "$skimby_pid" || true
  skimby_pid=
}

echo "== Start-up to the shown window, without the sound ($RUNS runs)"
prepare_folder 7 no
times=()
for _ in $(seq "$RUNS"); do
  ms=$(startup_once)
  [[ "$ms" =~ ^[0-9]+$ ]] || exit 1
  times+=("$ms")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start-up ms: ${times[*]} (median $(echo "$sorted" | sed -n "$(((RUNS + 1) / 2))p"), best $(echo "$sorted" | head -1))"

echo "== Connected to the practice server: $RATE lines/s, member share $SHARE, sound $SOUND, ${DURATION}s"
if [ -e /proc/asound/cards ] && ! grep -q 'no soundcards' /proc/asound/cards; then
  echo "audio devices: $(grep -c '^ *[0-9]' /proc/asound/cards)"
else
  echo "audio devices: none (a new call's alert fails at once)"
fi
plog=$work/practice.log
build/bin/skimby-practice --telnet-port 0 --http-port "$http_port" --rate "$RATE" \
  --member-share "$SHARE" --seed 1 >"$plog" 2>&1 &
practice_pid=$!
for _ in $(seq 50); do grep -q 'telnet cluster on' "$plog" && break; sleep 0.1; done
telnet_port=$(sed -n 's/.*telnet cluster on 127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$plog")
[ -n "$telnet_port" ] || { cat "$plog" >&2; echo "measure.sh: the practice server did not start" >&2; exit 1; }

prepare_folder "$telnet_port" yes
"$work/app/skimby" >"$work/skimby.log" 2>&1 &
skimby_pid=$!
window=$(shown_window "$skimby_pid" 10000) || {
  echo "measure.sh: no window within 10 s; the program's output:" >&2
  cat "$work/skimby.log" >&2
  exit 1
}
sleep 0.5
# The "Sound" box (left 85, top 35 in the top panel) and Connect (82, 8; 67 x 22).
if [ "$SOUND" = off ]; then xdotool mousemove --window "$window" 100 43 click 1; fi
connect_at=$(ms_now)
xdotool mousemove --window "$window" 115 19 click 1
for _ in $(seq 100); do grep -q 'logged in as' "$plog" && break; sleep 0.05; done
grep -q 'logged in as' "$plog" || { echo "measure.sh: the program did not log in" >&2; exit 1; }
echo "logged in $(($(ms_now) - connect_at)) ms after Connect was pressed"
sleep "$WARMUP"
alive() {
  kill -0 "$skimby_pid" 2>/dev/null && return 0
  echo "measure.sh: the program ended; its output:" >&2
  cat "$work/skimby.log" >&2
  exit 1
}
alive

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$skimby_pid/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$skimby_pid/status"; }
t0=$(ms_now); c0=$(cpu_ticks); max_rss=$(rss_kb); min_rss=$max_rss
step=$((DURATION < 60 ? DURATION : 60))
elapsed=0
while [ "$elapsed" -lt "$DURATION" ]; do
  ts=$(ms_now); cs=$(cpu_ticks)
  sleep "$step"
  elapsed=$((elapsed + step))
  alive
  te=$(ms_now); ce=$(cpu_ticks); rss=$(rss_kb)
  ((rss > max_rss)) && max_rss=$rss
  ((rss < min_rss)) && min_rss=$rss
  awk -v c=$((ce - cs)) -v t=$((te - ts)) -v hz="$ticks" -v e="$elapsed" -v r="$rss" \
    'BEGIN {printf "  %5d s: cpu %.2f %% of one core, rss %.1f MB\n", e, 100 * c / hz / (t / 1000), r / 1024}'
done
t1=$(ms_now); c1=$(cpu_ticks)
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$skimby_pid/status")
awk -v c=$((c1 - c0)) -v t=$((t1 - t0)) -v hz="$ticks" -v lo="$min_rss" -v hi="$max_rss" -v p="$hwm" \
  'BEGIN {printf "cpu: %.2f %% of one core over %.0f s; rss: %.1f to %.1f MB (peak %.1f MB)\n",
          100 * c / hz / (t / 1000), t / 1000, lo / 1024, hi / 1024, p / 1024}'

kill -TERM "$skimby_pid"; wait "$skimby_pid" || true
skimby_pid=
sleep 0.2
kill -TERM "$practice_pid"; wait "$practice_pid" || true
practice_pid=
grep -o 'closed by the client ([^)]*)' "$plog" | sed 's/^/practice server: /'
