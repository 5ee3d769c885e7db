#!/usr/bin/env bash
# Builds the instrument and starts it on a freshly prepared root folder that stands in for the
# board. With a display it opens a 640 x 480 window; without one it serves the screen over VNC on
# localhost:5900 (connect any VNC viewer to 127.0.0.1:5900 to see and drive it).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/ensure-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target corvane corvane-boardsim corvane_translations
root="${CORVANE_RUN_ROOT:-build/root}"
mkdir -p "$root/data"
export CORVANE_ROOT="$(cd "$root" && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM="vnc:size=640x480:depth=16:addr=127.0.0.1:port=5900"
  echo "No display: the instrument's screen is served over VNC at 127.0.0.1:5900"
fi
exec build/src/corvane
