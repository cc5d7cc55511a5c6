#!/usr/bin/env bash
# The Windows levels, run inside one virtual display: in-process tests, then end to end.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
RESULTS="$1"
# What runs again under an English system code page: every character kept, and the
# subsystems whose texts cross the clipboard and files.
EN_FILTER='UnicodeRoundTrip.*:Clipboard*:TextFiles*:RtfStream*:SearchWindow*'

cd "$RESULTS"
echo "-- wintests.exe"
QP_EXPECT_DPI=96 timeout 1200 wine "$WIN_BUILD/bin/wintests.exe" --gtest_output=json:wintests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
# The layout and the scaled sizes again at 150 % and 200 %.
for DPI in 144 192; do
  echo "-- wintests.exe at $DPI pixels per inch (the layout and the scaled sizes)"
  ( PREFIX="WINEPREFIX_$DPI"; export WINEPREFIX="${!PREFIX}" QP_EXPECT_DPI=$DPI
    timeout 300 wine "$WIN_BUILD/bin/wintests.exe" --gtest_filter='LabelFit.*:DpiScale.*' \
      --gtest_output=json:wintests$DPI.json 2>&1 | iconv -f CP932 -t UTF-8 -c | tail -n 15
    wineserver -k 2>/dev/null; wineserver -w 2>/dev/null )
done
# The fidelity tests again on a Windows set to English (system code page 1252).
echo "-- wintests.exe on an English system"
( export WINEPREFIX="$WINEPREFIX_EN" LANG=en_US.UTF-8 QP_EXPECT_DPI=96
  timeout 600 wine "$WIN_BUILD/bin/wintests.exe" --gtest_filter="$EN_FILTER" \
    --gtest_output=json:wintests-en.json 2>&1 | iconv -f CP932 -t UTF-8 -c | tail -n 15
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
# The release zip, unpacked as a user would into a folder with spaces and Japanese names.
UNPACKED="$RESULTS/package/山田 太郎/キルト帳 2026"
if ! bash "$ROOT/scripts/package.sh" --unpack "$UNPACKED" | tail -n 2; then
  echo "(the package could not be built: its tests fail)"
fi
export QP_PACKAGE="Z:$(echo "$UNPACKED/quiltpad-3.21" | tr / '\\')"
# A read-only view of a folder (a CD, say), where the machine lets us mount one.
READONLY_SOURCE="$RESULTS/readonly-source"; READONLY_VIEW="$RESULTS/readonly"
mountpoint -q "$READONLY_VIEW" 2>/dev/null && umount "$READONLY_VIEW"  # left by a run that was cut off
mkdir -p "$READONLY_SOURCE" "$READONLY_VIEW"
if mount --bind "$READONLY_SOURCE" "$READONLY_VIEW" 2>/dev/null; then
  if mount -o remount,bind,ro "$READONLY_VIEW" 2>/dev/null; then
    export QP_READONLY_SOURCE="Z:$(echo "$READONLY_SOURCE" | tr / '\\')"
    export QP_READONLY_VIEW="Z:$(echo "$READONLY_VIEW" | tr / '\\')"
  else
    umount "$READONLY_VIEW"
  fi
fi
[ -n "${QP_READONLY_VIEW:-}" ] || echo "(no read-only view could be mounted: the read-only folder test is skipped)"
timeout 1200 wine "$WIN_BUILD/bin/e2etests.exe" --gtest_output=json:e2etests.json 2>&1 | iconv -f CP932 -t UTF-8 -c
mountpoint -q "$SMALL_DISK" && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; umount "$SMALL_DISK"; }
mountpoint -q "$READONLY_VIEW" && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; umount "$READONLY_VIEW"; }
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
exit 0
