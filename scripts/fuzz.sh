#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, their own tree) and runs each for a
# short while. One target is one test. Last line: "fuzz: N passed, M failed".
#   QP_FUZZ_SECONDS   seconds per target (default 30)
#   QP_FUZZ_BUILD     build folder (default build/fuzz)
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${QP_FUZZ_BUILD:-$ROOT/build/fuzz}"
SECONDS_EACH="${QP_FUZZ_SECONDS:-30}"
TARGETS=(readers file_reader deletion_marks settings_file memo_text restore_lines file_names book_merge)

if ! { cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
       cmake --build "$BUILD"; }; then
  echo "fuzz: the fuzz targets do not build"
  echo "fuzz: 0 passed, ${#TARGETS[@]} failed"
  exit 1
fi

CORPUS="$BUILD/corpus"
mkdir -p "$CORPUS/readers" "$CORPUS/deletion_marks" "$CORPUS/file_names" "$BUILD/artifacts"
"$BUILD/make_seeds" "$CORPUS/readers" "$CORPUS/deletion_marks" "$CORPUS/file_names"
# The kept corpus of the long campaigns (scripts/fuzz-long.sh) is the starting point.
for kept in "$ROOT"/fuzz/corpus/*/; do
  [ -d "$kept" ] || continue
  mkdir -p "$CORPUS/$(basename "$kept")"
  cp -n "$kept"* "$CORPUS/$(basename "$kept")/" 2>/dev/null || true
done

passed=0; failed=0; total=0
for target in "${TARGETS[@]}"; do
  corpus="$CORPUS/$target"
  [ "$target" = file_reader ] && corpus="$CORPUS/readers"  # the same inputs, another reader
  log="$BUILD/$target.log"
  "$BUILD/fuzz_$target" "$corpus" -max_total_time="$SECONDS_EACH" -max_len=8192 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$target-" >"$log" 2>&1
  rc=$?
  runs=$(grep -E '^stat::number_of_executed_units:' "$log" | tail -n 1 | awk '{print $2}')
  runs=${runs:-0}
  total=$((total + runs))
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz: $target passed ($runs executions)"
  else
    failed=$((failed + 1))
    echo "fuzz: $target FAILED ($runs executions; see $log)"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 5
  fi
done
echo "fuzz: $total executions in total"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
