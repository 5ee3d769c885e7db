#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer + UBSan) into build-fuzz/ and
# runs them one after the other at the lowest priority.
#   fuzz/run.sh [SECONDS] [NAME...]     default: 600 s each, every target
# New inputs collect in build-fuzz/corpus/<name>/ (the seed corpus fuzz/corpus/<name>/ is only
# read); a crash stops its target and leaves build-fuzz/artifacts/<name>/crash-*. The summary
# lists executions and findings per target (also in build-fuzz/summary.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
[ $# -gt 0 ] && shift
command -v clang++ >/dev/null || { echo "clang++ is missing (Debian: clang, libclang-rt-14-dev)" >&2; exit 1; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_SANITIZE=fuzzer -DCORVANE_BENCHMARKS=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    names+=("${name#fuzz_}")
  done
fi
targets=()
for name in "${names[@]}"; do targets+=("fuzz_$name"); done
nice -n 19 cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/fuzz/lsan.supp"
summary=build-fuzz/summary.txt
: > "$summary"
for name in "${names[@]}"; do
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/artifacts/$name"
  log="build-fuzz/fuzz_$name.log"
  status=0
  # Much of the parsing happens inside Qt (QSettings, QDomDocument), which is not instrumented:
  # keep the seeds to mutate from, and hand the fuzzer the format's words.
  dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=(-dict="fuzz/dict/$name.dict")
  nice -n 19 "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -keep_seed=1 "${dict[@]}" -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$name/" \
    "build-fuzz/corpus/$name" "fuzz/corpus/$name" > "$log" 2>&1 || status=$?
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
  findings="$(ls "build-fuzz/artifacts/$name" | wc -l)"
  printf '%-16s %10s executions  exit %d  findings %d\n' "$name" "${runs:-?}" "$status" "$findings" | tee -a "$summary"
done
