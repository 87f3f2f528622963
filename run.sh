#!/usr/bin/env bash
# Installs what the build needs, builds the program and the practice server,
# starts the practice server in the background and the program from its
# build folder, where it finds its server list ("Practice server" first)
# and alert sound. The practice server stops when the program ends, also
# after Ctrl+C. A practice server that already runs on its ports is used.
set -euo pipefail
cd "$(dirname "$0")"

TELNET_PORT=7300
HTTP_PORT=8073

. ./scripts/packages.sh
skimby_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target skimby skimby-practice

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the window on (DISPLAY is not set)." >&2
  echo "Start it on a desktop, or on a virtual X server:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh" >&2
  exit 1
fi

# Whether a practice server answers on the ports: its cluster asks for a
# call sign, its member service answers a member-list request.
practice_server_answers() {
  local prompt reply
  prompt=$(timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$TELNET_PORT && cat <&3" \
    2>/dev/null | tr -d '\000' || true)
  [[ "$prompt" == *"Please enter your call: "* ]] || return 1
  reply=$(timeout 3 bash -c "exec 3<>/dev/tcp/127.0.0.1/$HTTP_PORT &&
      printf 'GET /rbndata2.php?mycall=NOCALL HTTP/1.0\r\n\r\n' >&3 && head -c 20 <&3" \
    2>/dev/null || true)
  [[ "$reply" == "HTTP/1."?" 200"* ]]
}

practice_pid=
stop_practice_server() {
  if [ -n "$practice_pid" ]; then
    kill -TERM "$practice_pid" 2>/dev/null || true
    wait "$practice_pid" 2>/dev/null || true
    practice_pid=
  fi
}
trap stop_practice_server EXIT
# Ctrl+C reaches the program too, which closes (saving its settings); the
# shell then ends, which stops the practice server.
trap 'exit 130' INT
trap 'exit 143' TERM

log=$(mktemp -t skimby-practice.XXXXXX.log)
build/bin/skimby-practice --telnet-port "$TELNET_PORT" --http-port "$HTTP_PORT" >"$log" 2>&1 &
practice_pid=$!
# Up when its first line is out; gone when its ports are taken.
for _ in $(seq 50); do
  grep -q 'telnet cluster on' "$log" 2>/dev/null && break
  kill -0 "$practice_pid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$practice_pid" 2>/dev/null; then
  wait "$practice_pid" 2>/dev/null || true
  practice_pid=
  if practice_server_answers; then
    echo "run.sh: using the practice server already running on 127.0.0.1:$TELNET_PORT."
  else
    cat "$log" >&2
    echo "run.sh: the practice server could not start; starting Skimby without it." >&2
  fi
  rm -f "$log"
else
  echo "run.sh: practice server on 127.0.0.1:$TELNET_PORT (telnet) and :$HTTP_PORT (member list);" \
    "its log is $log."
fi

build/bin/skimby
