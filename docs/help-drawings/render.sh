#!/usr/bin/env bash
# Regenerates the help pictures: writes the SVG drawings and renders each to src/resources/help/<name>.png.
set -euo pipefail
cd "$(dirname "$0")"
python3 make_drawings.py
tool="$(mktemp -d)/render"
g++ -std=c++17 -fPIC -o "$tool" render.cpp $(pkg-config --cflags --libs Qt5Gui Qt5Svg)
args=()
for svg in *.svg; do args+=("$svg" "../../src/resources/help/${svg%.svg}.png"); done
QT_QPA_PLATFORM=offscreen "$tool" "${args[@]}"
rm -r "$(dirname "$tool")"
