#!/usr/bin/env bash
# Takes the README's picture of the time-domain screen from the real program: runs ./run.sh
# (instrument on the simulated board) inside Xvfb at 640 x 480 on a root of its own, set to
# 600 MHz with infinite persistence, taps the Time Domain button (xdotool), lets the pattern
# build up and grabs the screen.
#   scripts/screenshot-timedomain.sh [OUT.png] [SECONDS]   default docs/screenshots/timedomain.png, 20
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots/timedomain.png}"
seconds="${2:-20}"
if ! command -v xdotool >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xdotool
fi
mkdir -p "$(dirname "$out")"
cmake --build build -j"$(nproc)" --target corvane-screengrab corvane-boardsim >/dev/null
out_abs="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
root="/dev/shm/corvane-screenshot-timedomain-$(id -u)"
build/sim/corvane-boardsim --root "$root" --prepare-only >/dev/null
cat >"$root/data/config.ini" <<'EOF'
[time]
FreqMin=600
Persistency=0
LinearAmplifier=650
EOF
CORVANE_RUN_ROOT="$root" xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  unset QT_QPA_PLATFORM
  ./run.sh >/tmp/corvane-screenshot-timedomain.log 2>&1 &
  run=$!
  sleep 8
  xdotool mousemove 320 185 click 1   # the Time Domain button of the main menu
  sleep "$2"
  build/tools/corvane-screengrab "$1" 0
  status=$?
  kill -TERM "$run" 2>/dev/null
  wait "$run" 2>/dev/null
  exit $status
' _ "$out_abs" "$seconds"
echo "Saved $out"
