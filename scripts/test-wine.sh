#!/usr/bin/env bash
# The Windows levels, run inside one virtual display: in-process tests, then end to end.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
RESULTS="$1"
cd "$RESULTS"
echo "-- wintests.exe"
QP_EXPECT_DPI=96 timeout 1200 wine "$WIN_BUILD/bin/wintests.exe" --gtest_output=json:wintests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
echo "-- wintests.exe at 144 pixels per inch (the layout)"
( export WINEPREFIX="$WINEPREFIX_144" QP_EXPECT_DPI=144
  timeout 300 wine "$WIN_BUILD/bin/wintests.exe" --gtest_filter='LabelFit.*' --gtest_output=json:wintests144.json 2>&1 |
    iconv -f CP932 -t UTF-8 -c | tail -n 15
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null )
echo "-- e2etests.exe"
# A small disk of its own for the full-disk test, where the machine lets us mount one.
SMALL_DISK="$RESULTS/smalldisk"
mkdir -p "$SMALL_DISK"
if mount -t tmpfs -o size=24m tmpfs "$SMALL_DISK" 2>/dev/null; then
  export QP_SMALL_DISK="Z:$(echo "$SMALL_DISK" | tr / '\\')"
else
  echo "(no small disk could be mounted: the full-disk test is skipped)"
fi
timeout 1200 wine "$WIN_BUILD/bin/e2etests.exe" --gtest_output=json:e2etests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
mountpoint -q "$SMALL_DISK" && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; umount "$SMALL_DISK"; }
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
exit 0
