#!/usr/bin/env bash
# Sets up, builds and runs every test: host unit tests, Windows tests under Wine,
# end-to-end tests, short fuzz runs. Ends with one line "N passed, M failed".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"

bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

RESULTS="$ROOT/build/results"
rm -rf "$RESULTS"; mkdir -p "$RESULTS"
PASSED=0; FAILED=0
add_counts() { read -r p f <<<"$1"; PASSED=$((PASSED + p)); FAILED=$((FAILED + f)); echo "== $2: $p passed, $f failed"; }

echo "== building (host)"
if build_host; then
  (cd "$RESULTS" && timeout 900 "$HOST_BUILD/bin/hosttests" --gtest_output=json:host.json) | tail -n 30
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/host.json")" "host tests"
else
  add_counts "0 1" "host build"
fi

echo "== building (windows)"
if build_win; then
  ensure_wineprefix
  ensure_wineprefix144
  ensure_wineprefix192
  ensure_wineprefix_en
  xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/test-wine.sh "$RESULTS" | tail -n 60
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/wintests.json")" "windows tests"
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/wintests144.json")" "windows layout at 144 dpi"
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/wintests192.json")" "windows layout at 192 dpi"
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/wintests-en.json")" "windows tests on an English system"
  add_counts "$(python3 scripts/count_gtest.py "$RESULTS/e2etests.json")" "end-to-end tests"
  wineserver -k 2>/dev/null || true
else
  add_counts "0 1" "windows build"
fi

echo "== manual"
python3 tests/manual/check_manual.py help/manual --render --json "$RESULTS/manual.json" | tail -n 20
add_counts "$(python3 scripts/count_gtest.py "$RESULTS/manual.json")" "manual pages and images"

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzzing"
  bash scripts/fuzz.sh > "$RESULTS/fuzz.log" 2>&1
  tail -n 15 "$RESULTS/fuzz.log"
  line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$RESULTS/fuzz.log" | tail -n 1)
  if [ -n "$line" ]; then
    add_counts "$(echo "$line" | sed -E 's/^fuzz: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/')" "fuzz targets"
  else
    add_counts "0 1" "fuzz run"
  fi
fi

wineserver -k 2>/dev/null || true
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ] && [ "$PASSED" -gt 0 ]
