#!/usr/bin/env bash
# The full power-cut test: 1000 writes of every file kind, cut at random moments (see README.md).
#   powercut/run.sh [--writes N] [--keep] [KIND...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target corvane-powercut corvane-boardsim
export QT_QPA_PLATFORM=offscreen
unset DISPLAY CORVANE_ROOT
exec build/powercut/corvane-powercut --sim build/sim/corvane-boardsim "$@"
