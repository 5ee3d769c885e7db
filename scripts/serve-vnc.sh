#!/usr/bin/env bash
# Runs a program on a virtual X screen (Xvfb, 640 x 480) and serves that screen over VNC to this
# machine only: x11vnc listens on 127.0.0.1 and [::1], no other interface; Xvfb listens on no
# TCP port at all. Used by ./run.sh when there is no display.
#   scripts/serve-vnc.sh PROGRAM [ARGUMENTS...]
#   CORVANE_VNC_PORT=5901 scripts/serve-vnc.sh ...    another port (default 5900)
# Ends the program, the VNC server and the X server together; exits with the program's status.
set -euo pipefail
port="${CORVANE_VNC_PORT:-5900}"
for tool in Xvfb x11vnc; do
  command -v "$tool" >/dev/null || { echo "serve-vnc: $tool is missing (scripts/ensure-deps.sh)" >&2; exit 1; }
done

workdir="$(mktemp -d)"
xvfb_pid="" vnc_pid="" app_pid=""
cleanup() {
  for pid in "$app_pid" "$vnc_pid" "$xvfb_pid"; do
    [ -n "$pid" ] || continue
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number to the descriptor given.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -nolisten unix-abstract 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$workdir/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$workdir/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$workdir/display" ] || { echo "serve-vnc: the X server did not start" >&2; exit 1; }
display=":$(head -n1 "$workdir/display")"

x11vnc -display "$display" -localhost -rfbport "$port" -nopw -forever -shared -quiet \
  >"$workdir/x11vnc.log" 2>&1 &
vnc_pid=$!
for _ in $(seq 100); do
  ss -ltnH "sport = :$port" 2>/dev/null | grep -q . && break
  kill -0 "$vnc_pid" 2>/dev/null || { cat "$workdir/x11vnc.log" >&2; exit 1; }
  sleep 0.1
done
echo "No display: the screen is served over VNC at 127.0.0.1:$port (this machine only)"

DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
