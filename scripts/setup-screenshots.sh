#!/usr/bin/env bash
# Takes the README's pictures of the system and device information setup pages from the real
# program: runs ./run.sh (instrument on the simulated board) inside Xvfb at 640 x 480, taps the
# main menu's setup button, grabs the System page, taps the next-category arrow and grabs the
# Info page, then scrolls it with the Down key to the battery rows.
#   scripts/setup-screenshots.sh [OUTDIR]      default docs/screenshots
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
if ! command -v xdotool >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xdotool
fi
out="$(mkdir -p "${1:-docs/screenshots}" && cd "${1:-docs/screenshots}" && pwd)"
export CORVANE_RUN_ROOT="${CORVANE_RUN_ROOT:-/dev/shm/corvane-setup-screenshots-$(id -u)}"
# A record folder, so that the copy and clear rows are offered.
mkdir -p "$CORVANE_RUN_ROOT/data/corvane_data"
cmake --build build -j"$(nproc)" --target corvane corvane-boardsim corvane-screengrab >/dev/null
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  unset QT_QPA_PLATFORM
  ./run.sh >/tmp/corvane-setup-screenshots.log 2>&1 &
  run=$!
  sleep 6
  xdotool mousemove 92 389 click 1      # main menu: setup
  sleep 2
  build/tools/corvane-screengrab "$1/SetupSystemDialog.png" 0
  xdotool mousemove 533 416 click 1     # next category: Info
  build/tools/corvane-screengrab "$1/SetupInfoDialog.png" 1500
  xdotool key --delay 150 Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down
  build/tools/corvane-screengrab "$1/SetupInfoDialog_battery.png" 1200
  kill -TERM "$run" 2>/dev/null
  wait "$run" 2>/dev/null
  exit 0
' _ "$out"
echo "Saved $out/SetupSystemDialog.png, $out/SetupInfoDialog.png and $out/SetupInfoDialog_battery.png"
