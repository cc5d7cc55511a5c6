#!/usr/bin/env bash
# Search and drag-and-drop figures on the real window under Wine: books of
# 2,500, 5,000 and 10,000 pages (about 2 KB of RTF each, a folder per 20 pages)
# made by qpdtool gen; a search for a word only the last page holds, with and
# without ruling pages out; a drop onto the first item at each size.
#   QP_BENCH_DIR  where the books go (default build/bench-books)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
build_host >/dev/null
build_win >/dev/null
ensure_wineprefix
export QP_BENCH_DIR="${QP_BENCH_DIR:-$ROOT/build/bench-books}"
mkdir -p "$QP_BENCH_DIR"
run() { xvfb-run -a -s "-screen 0 1280x800x24" wine "$WIN_BUILD/bin/uibench.exe" "$@" 2>&1 | iconv -f CP932 -t UTF-8 -c; }
for pages in 2500 5000 10000; do
  book="$QP_BENCH_DIR/book$pages.qpd"
  [ -f "$book" ] || "$HOST_BUILD/bin/qpdtool" gen --pages "$pages" --folders $((pages / 20)) --text-bytes 2000 --seed 1 "$book"
done
run search "$(winepath -w "$QP_BENCH_DIR/book10000.qpd")"
for pages in 2500 5000 10000; do
  run drop "$(winepath -w "$QP_BENCH_DIR/book$pages.qpd")"
done
wineserver -k || true
