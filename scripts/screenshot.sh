#!/usr/bin/env bash
# Takes the README's picture of the main menu from the real program: runs ./run.sh (instrument on
# the simulated board) inside Xvfb at 640 x 480, waits for the menu, grabs the screen.
#   scripts/screenshot.sh [OUT.png]      default docs/screenshots/mainmenu.png
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots/mainmenu.png}"
mkdir -p "$(dirname "$out")"
cmake --build build -j"$(nproc)" --target corvane-screengrab >/dev/null
out_abs="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  unset QT_QPA_PLATFORM
  ./run.sh >/tmp/corvane-screenshot-run.log 2>&1 &
  run=$!
  build/tools/corvane-screengrab "$1" 8000
  status=$?
  kill -TERM "$run" 2>/dev/null
  pkill -TERM -P "$run" 2>/dev/null
  wait "$run" 2>/dev/null
  exit $status
' _ "$out_abs"
echo "Saved $out"
