#!/usr/bin/env bash
# Builds the instrument and the board simulator, starts the simulator on its root folder (tmpfs,
# see sim/README.md) and then the instrument on that root; the simulator is stopped when the
# instrument exits. With a display it opens a 640 x 480 window; without one it serves the screen
# over VNC to this machine only (connect any VNC viewer to 127.0.0.1:5900 to see and drive it).
#   CORVANE_RUN_ROOT=DIR ./run.sh    use another root folder (keep it on tmpfs)
#   CORVANE_VNC_PORT=5901 ./run.sh   another VNC port
# Faults while it runs, for example: build/sim/corvane-boardsim --fault pll-unlocked on
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/ensure-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target corvane corvane-boardsim corvane_translations
sim=build/sim/corvane-boardsim
root_args=()
[ -n "${CORVANE_RUN_ROOT:-}" ] && root_args=(--root "$CORVANE_RUN_ROOT")
root="$("$sim" "${root_args[@]}" --print-root)"

"$sim" --root "$root" --languages build/translations --languages src/translations &
sim_pid=$!
app_pid=""
# Whatever ends this script (the instrument's exit, Ctrl-C, a kill) ends both programs.
cleanup() {
  if [ -n "$app_pid" ]; then
    kill -TERM "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  kill -TERM "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# The simulator writes <root>/sim/ready once the board is prepared and served.
for _ in $(seq 100); do
  [ -s "$root/sim/ready" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { echo "The board simulator did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$root/sim/ready" ] || { echo "The board simulator did not get ready" >&2; exit 1; }

export CORVANE_ROOT="$root"
app=(build/src/corvane)
# Without a display: a virtual X screen served over VNC to this machine only (Qt's own VNC
# platform would listen on every interface).
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  app=(scripts/serve-vnc.sh build/src/corvane)
fi
echo "Board simulator on $root (faults: $sim --root $root --fault NAME on|off)"
# In the background, so that a signal to this script is handled at once (see cleanup).
"${app[@]}" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
