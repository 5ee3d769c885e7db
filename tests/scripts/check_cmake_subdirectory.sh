#!/usr/bin/env bash
# The project configures and generates as a subdirectory of another CMake project (a device
# maker's image build): every path it uses is its own folder's, not the top project's.
set -euo pipefail
here="$(pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/image"
cat >"$work/image/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.16)
project(deviceimage LANGUAGES CXX)
add_subdirectory("$here" corvane)
CMAKE
cmake -S "$work/image" -B "$work/build" -DCORVANE_BENCHMARKS=ON >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
# The tests find the project's own sanitizer suppressions.
grep -q "$here/tests/sanitizers/lsan-qt5.supp" "$work/build/corvane/tests/CTestTestfile.cmake" \
  || { echo "the tests do not use the project's suppression files"; exit 1; }
echo "configured and generated as a subdirectory"
