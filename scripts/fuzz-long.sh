#!/usr/bin/env bash
# The long fuzzing campaign (not part of the test command): every target for
# QP_FUZZ_RUNS executions (default 10 million) with AddressSanitizer and UBSan,
# starting from the kept corpus; the new inputs are merged back, minimised, into
# fuzz/corpus/<target> so the short runs of the test command start from them.
# A crash leaves its input in build/fuzz/artifacts; make it a test.
#   QP_FUZZ_RUNS      executions per target
#   QP_FUZZ_TARGETS   targets to run (default: all)
#   QP_FUZZ_JOBS      parallel fuzzing processes per target (default 1)
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${QP_FUZZ_BUILD:-$ROOT/build/fuzz}"
RUNS="${QP_FUZZ_RUNS:-10000000}"
JOBS="${QP_FUZZ_JOBS:-1}"
# Builds the targets and lays out the seed corpus (a zero-second pass of the short run).
QP_FUZZ_SECONDS=1 bash "$ROOT/scripts/fuzz.sh" >/dev/null 2>&1
read -r -a TARGETS <<<"${QP_FUZZ_TARGETS:-$(ls "$BUILD" | sed -n 's/^fuzz_//p' | tr '\n' ' ')}"

status=0
for target in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$target"
  [ "$target" = file_reader ] && corpus="$BUILD/corpus/readers"
  log="$BUILD/long-$target.log"
  start=$(date +%s)
  # -jobs sends each worker's output to fuzz-N.log in the current folder: run there
  parallel=""
  [ "$JOBS" -gt 1 ] && parallel="-jobs=$JOBS -workers=$JOBS"
  rm -f "$BUILD"/fuzz-*.log
  (cd "$BUILD" && "$BUILD/fuzz_$target" "$corpus" -runs="$RUNS" $parallel -max_len=8192 -timeout=10 \
      -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$target-" >"$log" 2>&1)
  rc=$?
  runs=$(cat "$log" "$BUILD"/fuzz-*.log 2>/dev/null | grep -E '^stat::number_of_executed_units:' | awk '{s+=$2} END {print s+0}')
  echo "fuzz-long: $target rc=$rc executions=$runs seconds=$(( $(date +%s) - start ))"
  [ $rc -eq 0 ] || { status=1; grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 5; }
  kept="$ROOT/fuzz/corpus/$(basename "$corpus")"
  mkdir -p "$kept"
  "$BUILD/fuzz_$target" -merge=1 "$kept" "$corpus" >/dev/null 2>&1
done
exit $status
