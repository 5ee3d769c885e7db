#!/usr/bin/env bash
# Takes the README's pictures of the record index: the board simulator runs on a fresh root, the
# instrument's real spectrum screen saves records there (tools/corvane-samplerecords, inside
# Xvfb), the record folder is copied to a "desktop" folder and indexed there with
# tools/corvane-htmlindex, and Debian's chromium (headless) photographs a page at laptop and at
# phone width.
#   scripts/index-screenshot.sh [OUT_DIR]      default docs/screenshots
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(mkdir -p "${1:-docs/screenshots}" && cd "${1:-docs/screenshots}" && pwd)"
if ! command -v chromium >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends chromium
fi
cmake --build build -j"$(nproc)" --target corvane-boardsim corvane-samplerecords corvane-htmlindex corvane_translations >/dev/null

work="$(mktemp -d)"
root="/dev/shm/corvane-index-shot-$$"
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && { kill -TERM "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; }
  rm -rf "$root" "$work"
}
trap cleanup EXIT
build/sim/corvane-boardsim --root "$root" --languages build/translations >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$root/sim/ready" ] && break; sleep 0.1; done
[ -s "$root/sim/ready" ] || { echo "The board simulator did not get ready" >&2; exit 1; }

CORVANE_ROOT="$root" xvfb-run -a -s "-screen 0 640x480x24" build/tools/corvane-samplerecords >"$work/records.log" 2>&1 \
  || { tail -5 "$work/records.log" >&2; exit 1; }
kill -TERM "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=""

mkdir -p "$work/Desktop"
cp -r "$root/data/corvane_data" "$work/Desktop/"
build/tools/corvane-htmlindex "$work/Desktop/corvane_data"
page="$(find "$work/Desktop/corvane_data" -path '*Substation North/index.html' | head -1)"

shoot() { # width height file
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d -p "$work")" --hide-scrollbars --window-size="$1,$2" \
    --screenshot="$out/$3" "file://$page" >/dev/null 2>&1
  echo "Saved $out/$3"
}
shoot 1100 1300 index-laptop.png
shoot 390 1500 index-phone.png
