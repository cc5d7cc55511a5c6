#!/usr/bin/env bash
# The long forced-kill campaign (not part of the test command): the program is
# killed at random moments of its exit save QP_KILLS times (default 50) on a
# book of QP_KILL_PAGES pages (default 20,000); after every kill the data file
# and every backup must read whole with the old or the new book.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
bash scripts/setup.sh >/dev/null
build_win >/dev/null || { echo "kill-campaign: the Windows build failed"; exit 1; }
ensure_wineprefix
export QP_KILLS="${QP_KILLS:-50}" QP_KILL_PAGES="${QP_KILL_PAGES:-20000}"
cd "$WIN_BUILD/bin"
xvfb-run -a -s "-screen 0 1280x800x24" wine e2etests.exe --gtest_filter='KillMidSave*' 2>&1 | iconv -f CP932 -t UTF-8 -c
rc=${PIPESTATUS[0]}
wineserver -k 2>/dev/null || true
exit "$rc"
