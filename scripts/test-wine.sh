#!/usr/bin/env bash
# The Windows levels, run inside one virtual display: in-process tests, then end to end.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
RESULTS="$1"
cd "$RESULTS"
echo "-- wintests.exe"
timeout 1200 wine "$WIN_BUILD/bin/wintests.exe" --gtest_output=json:wintests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
echo "-- e2etests.exe"
timeout 1200 wine "$WIN_BUILD/bin/e2etests.exe" --gtest_output=json:e2etests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
exit 0
