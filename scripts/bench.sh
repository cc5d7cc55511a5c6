#!/usr/bin/env bash
# Builds the host tree, makes books of 1,000, 10,000 and 100,000 pages (about
# 2 KB of RTF each) with qpdtool gen, and runs the store benchmark on them.
#   QP_BENCH_BUILD  release build tree of its own (default build/bench)
#   QP_BENCH_DIR    where the books go (default build/bench-books)
#   extra arguments go to the benchmark (e.g. --benchmark_filter=Load)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
BENCH_BUILD="${QP_BENCH_BUILD:-$ROOT/build/bench}"
cmake -S "$ROOT" -B "$BENCH_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BENCH_BUILD" --target qpdtool storebench

export QP_BENCH_DIR="${QP_BENCH_DIR:-$ROOT/build/bench-books}"
mkdir -p "$QP_BENCH_DIR"
for pages in 1000 10000 100000; do
  book="$QP_BENCH_DIR/book$pages.qpd"
  if [ ! -f "$book" ]; then
    "$BENCH_BUILD/bin/qpdtool" gen --pages "$pages" --folders $((pages / 20)) --text-bytes 2000 --seed 1 "$book"
  fi
  echo "bench: $book $(stat -c %s "$book") bytes"
done
"$BENCH_BUILD/bin/storebench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
