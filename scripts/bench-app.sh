#!/usr/bin/env bash
# Times the real program under Wine on the test display: start until the main
# window is shown and idle, a burst of page switches, a search of all memos for a
# word in no page (round the whole book from the first page), the exit (data file and
# settings written, process gone) and the peak memory, for books of 1,000,
# 10,000 and 100,000 pages made with qpdtool gen, each in a fresh program
# folder; an empty book gives the floor; qpdtool check and convert of the same
# files are the references. Also the switch away from a 1 MB and a 4 MB page.
# Prints one table and the ratios against the targets. Not part of the tests.
#   QP_BENCH_RUNS   runs per book, medians taken (default 3)
#   QP_BENCH_SIZES  page counts (default "1000 10000 100000")
#   QP_BENCH_BIG    sizes in bytes of the large single pages, measured once each
#                   (default "1000000 4000000")
#   QP_BENCH_WORK   scratch folder (default /dev/shm/quiltpad-bench-app-$USER)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "${BASH_SOURCE[0]}" "$@"
fi
cd "$ROOT"
RUNS="${QP_BENCH_RUNS:-3}"
SIZES="${QP_BENCH_SIZES-1000 10000 100000}"
BIG="${QP_BENCH_BIG-1000000 4000000}"
WORK="${QP_BENCH_WORK:-/dev/shm/quiltpad-bench-app-$(id -un)}"
SWITCHES=200
ABSENT_WORD=qpbenchabsentword  # in no generated page: the search runs round the whole book

if [ -z "${QP_BENCH_NO_BUILD:-}" ]; then build_host >/dev/null; build_win >/dev/null; fi
ensure_wineprefix
QPDTOOL="$HOST_BUILD/bin/qpdtool"
EXE="$WIN_BUILD/bin/quiltpad.exe"
QPCTL="$WIN_BUILD/bin/qpctl.exe"
mkdir -p "$WORK"
RESULTS="$WORK/results.tsv"
: >"$RESULTS"
wineserver -p  # one server for the whole run
trap 'wineserver -k || true' EXIT

winpath() { echo "Z:${1//\//\\}"; }
now() { date +%s.%N; }
ctl() { wine "$QPCTL" "$@" | tr -d '\r'; }
record() { echo -e "$1\t$2\t$3" >>"$RESULTS"; }   # book, measure, value

# One run of the program on a book: start, optional switches and a whole-book search, exit,
# peak memory.
run_program() {  # name book switches
  local name=$1 book=$2 switches=$3 dir="$WORK/prog-$1"
  rm -rf "$dir"; mkdir -p "$dir/data"
  cp "$EXE" "$dir/"; cp "$book" "$dir/data/quiltpad.qpd"
  local before; before=$(stat -c %Y.%y "$dir/data/quiltpad.qpd")
  (cd "$dir" && /usr/bin/time -f '%M' -o "$dir/peak_kb" wine quiltpad.exe >/dev/null 2>&1) &
  local waiter=$!
  local out; out=$(ctl idle 900)
  record "$name" start_ms "${out#start_ms=}"
  if [ "$switches" -gt 0 ]; then
    out=$(ctl switch "$switches")
    record "$name" switch_ms "$(sed -n 's/^switch_ms=//p' <<<"$out")"
    record "$name" switched "$(sed -n 's/^switched=//p' <<<"$out")"
    out=$(ctl search "$ABSENT_WORD")
    record "$name" search_ms "$(sed -n 's/^search_ms=//p' <<<"$out")"
    [ "$(sed -n 's/^search_round=//p' <<<"$out")" = 1 ] || echo "bench: $name: the search did not come round" >&2
  fi
  out=$(ctl exit 900)
  record "$name" exit_ms "${out#exit_ms=}"
  wait "$waiter" || true
  record "$name" peak_kb "$(tail -n1 "$dir/peak_kb")"
  [ -f "$dir/data/quiltpad.ini" ] || echo "bench: $name: no settings file written" >&2
  [ "$(stat -c %Y.%y "$dir/data/quiltpad.qpd")" != "$before" ] || echo "bench: $name: data file not written" >&2
  rm -rf "$dir"
}

time_ms() {  # command...: milliseconds it took
  local t0 t1; t0=$(now); "$@" >/dev/null; t1=$(now)
  python3 -c "print(round(($t1-$t0)*1000,1))"
}

# Books.
"$QPDTOOL" gen --pages 0 --seed 1 "$WORK/book0.qpd" >/dev/null
for pages in $SIZES; do
  book="$WORK/book$pages.qpd"
  [ -f "$book" ] || "$QPDTOOL" gen --pages "$pages" --folders $((pages / 16)) --text-bytes 2000 --seed 1 \
    --expanded "$book" >/dev/null
done
for bytes in $BIG; do
  book="$WORK/big$bytes.qpd"
  [ -f "$book" ] || ctl bigbook "$(winpath "$book")" "$bytes"
done

for run in $(seq 1 "$RUNS"); do
  echo "bench: run $run of $RUNS" >&2
  run_program empty "$WORK/book0.qpd" 0
  for pages in $SIZES; do
    book="$WORK/book$pages.qpd"
    run_program "$pages" "$book" "$SWITCHES"
    record "$pages" check_ms "$(time_ms "$QPDTOOL" check "$book")"
    record "$pages" convert_ms "$(time_ms "$QPDTOOL" convert "$book" "$WORK/converted.qpd")"
    rm -f "$WORK/converted.qpd"
    out=$(ctl streamin "$(winpath "$book")" "$SWITCHES")
    record "$pages" streamin_ms "$(sed -n 's/^streamin_ms=//p' <<<"$out")"
  done
done
# The switch away from a very large page is the rich edit's own slow work: once each.
for bytes in $BIG; do run_program "big$bytes" "$WORK/big$bytes.qpd" 1; done

for pages in $SIZES; do record "$pages" file_bytes "$(stat -c %s "$WORK/book$pages.qpd")"; done
for bytes in $BIG; do record "big$bytes" file_bytes "$(stat -c %s "$WORK/big$bytes.qpd")"; done
python3 "$ROOT/scripts/bench_app_report.py" "$RESULTS" "$SIZES" "$BIG"
