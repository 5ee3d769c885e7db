#!/usr/bin/env bash
# The soak: every screen driven on the simulated board for N minutes under ThreadSanitizer and
# under AddressSanitizer + UBSan, the simulator's faults thrown at random (soak/README.md).
#   soak/run.sh [--minutes N] [-j N] [--sanitizers "thread address"] [SCREEN...]
# Default: 10 minutes, 3 runs at once, both sanitizers, every screen. Builds build-thread/ and
# build-address/ as ./test.sh does; logs and sanitizer reports go to build-soak/<screen>.<sanitizer>/,
# the table to build-soak/summary.txt. Exits non-zero on any report, failed run or memory growth.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=10
jobs=3
sanitizers=(thread address)
screens=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    -j) jobs="$2"; shift 2 ;;
    -j*) jobs="${1#-j}"; shift ;;
    --sanitizers) read -r -a sanitizers <<< "$2"; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) screens+=("$1"); shift ;;
  esac
done
[ ${#screens[@]} -eq 0 ] && screens=(spectrum timedomain level autodetection offsetcalibration levelcalibration setup)
command_line="soak/run.sh --minutes $minutes -j $jobs --sanitizers \"${sanitizers[*]}\" ${screens[*]}"

bash scripts/ensure-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# "none" is the normal build (build/), for a look at the memory without a sanitizer's own.
build_dir() { if [ "$1" = none ]; then echo build; else echo "build-$1"; fi; }
for sanitizer in "${sanitizers[@]}"; do
  dir="$(build_dir "$sanitizer")"
  flags=(-DCORVANE_SANITIZE="${sanitizer#none}")
  [ "$sanitizer" != none ] && flags+=(-DCORVANE_BENCHMARKS=OFF)
  cmake -S . -B "$dir" "${flags[@]}" "${launcher[@]}" >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target corvane-soak corvane-boardsim corvane_translations
done

export QT_QPA_PLATFORM=offscreen
unset DISPLAY CORVANE_ROOT
supp="$PWD/tests/sanitizers"
out="$PWD/build-soak"
mkdir -p "$out"

# One screen under one sanitizer; the sanitizers write their reports to files of their own (one per
# process: the instrument and the simulator), which are counted afterwards. AddressSanitizer keeps
# freed memory in a quarantine (256 MB by default) that fills over many minutes and would look
# like growth; 16 MB fills within the first minute, so minute 1 and the end compare like for like.
run_one() {
  local screen="$1" sanitizer="$2" dir="$out/$1.$2"
  rm -rf "$dir"
  mkdir -p "$dir"
  local status=0
  TSAN_OPTIONS="suppressions=$supp/tsan-qt5.supp:second_deadlock_stack=1:halt_on_error=0:log_path=$dir/tsan" \
  ASAN_OPTIONS="log_path=$dir/asan:quarantine_size_mb=16" \
  LSAN_OPTIONS="suppressions=$supp/lsan-qt5.supp" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$dir/ubsan" \
  timeout --signal=TERM --kill-after=60 $((minutes * 60 + 600)) \
    "$(build_dir "$sanitizer")/soak/corvane-soak" --screen "$screen" --minutes "$minutes" \
    --sim "$(build_dir "$sanitizer")/sim/corvane-boardsim" > "$dir/soak.log" 2> "$dir/stderr.log" || status=$?
  echo "$status" > "$dir/status"
}

pending=()
for screen in "${screens[@]}"; do
  for sanitizer in "${sanitizers[@]}"; do pending+=("$screen $sanitizer"); done
done
echo "soak: ${#pending[@]} runs of $minutes min, $jobs at once (logs in $out)"
running=0
for item in "${pending[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  read -r screen sanitizer <<< "$item"
  echo "$(date +%H:%M:%S) start $screen under $sanitizer"
  run_one "$screen" "$sanitizer" &
  running=$((running + 1))
done
wait || true

# The table: reports per run (ThreadSanitizer warnings, AddressSanitizer/LeakSanitizer errors, UBSan
# runtime errors, in every process of the run), resident memory after minute 1 and at the end.
summary="$out/summary.txt"
failed=0
{
  echo "$command_line    ($(date '+%Y-%m-%d %H:%M'))"
  printf '%-18s %-9s %7s %10s %10s %8s %10s %10s %8s %7s  %s\n' screen sanitizer reports "RSS min 1" "RSS min $minutes" \
    growth "heap min 1" "heap min $minutes" actions faults result
  for item in "${pending[@]}"; do
    read -r screen sanitizer <<< "$item"
    dir="$out/$screen.$sanitizer"
    reports=$(cat "$dir"/tsan.* "$dir"/asan.* "$dir"/ubsan.* "$dir/stderr.log" 2>/dev/null \
              | grep -cE '^WARNING: ThreadSanitizer:|^==[0-9]+==ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' || true)
    line=$(grep '^soak: screen=' "$dir/soak.log" || true)
    field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<< "$line"; }
    first=$(field rss_first_kb); last=$(field rss_last_kb)
    status=$(cat "$dir/status")
    result="ok"
    growth="-"
    if [ -z "$line" ]; then
      result="no end (exit $status)"
    elif [ "$status" != 0 ]; then
      result="$(field result) (exit $status)"
    fi
    if [ -n "$first" ] && [ -n "$last" ] && [ "$first" -gt 0 ]; then
      growth=$(awk -v a="$first" -v b="$last" 'BEGIN { printf "%+.1f%%", (b - a) * 100 / a }')
      # Growth: more than 10 % and more than 16 MB between minute 1 and the end.
      if [ $((last - first)) -gt 16384 ] && [ $((last * 10)) -gt $((first * 11)) ]; then result="$result, memory grew"; fi
    fi
    if [ "$reports" != 0 ] || [ "$result" != ok ]; then failed=1; fi
    # The heap in use (glibc's count) only means something without a sanitizer.
    heap_first="-"; heap_last="-"
    if [ "$sanitizer" = none ] && [ -n "$(field heap_first_kb)" ]; then
      heap_first="$(field heap_first_kb) kB"; heap_last="$(field heap_last_kb) kB"
    fi
    printf '%-18s %-9s %7s %7s MB %7s MB %8s %10s %10s %8s %7s  %s\n' "$screen" "$sanitizer" "$reports" \
      "$(( ${first:-0} / 1024 ))" "$(( ${last:-0} / 1024 ))" "$growth" "$heap_first" "$heap_last" "$(field actions)" \
      "$(field faults)" "$result"
  done
} > "$summary"
cat "$summary"
exit "$failed"
