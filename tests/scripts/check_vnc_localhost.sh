#!/usr/bin/env bash
# The headless run serves its screen to this machine only: while scripts/serve-vnc.sh runs a
# program, every socket that it, the X server or the VNC server listens on is bound to the
# loopback interface.
set -euo pipefail
port=""
for candidate in $(seq 15900 15999); do
  ss -ltnH "sport = :$candidate" | grep -q . || { port=$candidate; break; }
done
[ -n "$port" ] || { echo "no free port"; exit 1; }
log="$(mktemp)"
CORVANE_VNC_PORT=$port setsid scripts/serve-vnc.sh sleep 60 >"$log" 2>&1 &
pid=$!
trap 'status=$?; kill -TERM $pid 2>/dev/null; wait $pid 2>/dev/null || true; rm -f "$log"; exit $status' EXIT
for _ in $(seq 100); do
  grep -q "served over VNC" "$log" && break
  kill -0 $pid 2>/dev/null || { cat "$log"; echo "serve-vnc.sh ended early"; exit 1; }
  sleep 0.1
done
grep -q "served over VNC" "$log" || { cat "$log"; echo "no VNC server came up"; exit 1; }
# Every process of the run (its own session) and what it listens on.
pids="$(ps -o pid= -s "$pid" | tr -d ' ' | paste -sd'|')"
sockets="$(ss -ltnupH | grep -E "pid=($pids)," || true)"
echo "$sockets"
echo "$sockets" | grep -q ":$port " || { echo "nothing listens on port $port"; exit 1; }
outside="$(echo "$sockets" | awk '{print $5}' | grep -vE '^(127\.[0-9.]+|\[::1\]):[0-9]+$' || true)"
[ -z "$outside" ] || { echo "listening beyond this machine: $outside"; exit 1; }
echo "all listening sockets are on the loopback interface"
