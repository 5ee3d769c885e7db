#!/usr/bin/env bash
# Builds the instrument, the board simulator and the tests, and runs every test.
#   ./test.sh            normal build (build/)
#   ./test.sh address    AddressSanitizer + UBSan build (build-address/)
#   ./test.sh thread     ThreadSanitizer build (build-thread/)
# Extra arguments after the sanitizer choice go to ctest (for example -R hardware); without a
# choice, arguments that start with - go to ctest for the normal build (./test.sh -R hardware).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/ensure-deps.sh
sanitize="${1:-}"
case "$sanitize" in
  -*) sanitize="" ;;        # ./test.sh -R name: ctest arguments for the normal build
  *) [ $# -gt 0 ] && shift ;;
esac
case "$sanitize" in
  ""|none) dir=build; sanitize=""; extra=() ;;
  address|thread) dir="build-$sanitize"; extra=(-DCORVANE_BENCHMARKS=OFF) ;;
  *) echo "usage: $0 [address|thread] [ctest arguments]" >&2; exit 2 ;;
esac
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCORVANE_SANITIZE="$sanitize" "${launcher[@]}" "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
# Tests must not depend on a display or on this user's environment.
export QT_QPA_PLATFORM=offscreen
unset DISPLAY CORVANE_ROOT
cd "$dir" && ctest --output-on-failure -j"$(nproc)" "$@"
