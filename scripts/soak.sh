#!/usr/bin/env bash
# The long soak (not part of the test command): a random user against a model of
# the book, SEEDS seeds of STEPS steps each, at low priority beside other work.
#   bash scripts/soak.sh SEEDS STEPS [FIRST_SEED]
# A difference prints the seed, the step and the first difference, then the shrunk
# sequence; its script lands in build/soak/seedN.soak. Replay one with
#   QP_SOAK_REPLAY=build/soak/seedN.soak bash scripts/soak.sh replay
# QP_SOAK_WITHOUT=cut,clear leaves kinds out of the mix; QP_SOAK_SHRINK caps the replays a shrink may use.
# Real kills: the soak in a child process ended by TerminateProcess, KILLS times, most inside a write
#   bash scripts/soak.sh kills KILLS [FIRST_SEED]
# (a difference keeps the child's journal in build/soak/kill-SEED/).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
if [ "${1:-}" = "kills" ]; then
  FILTER='SoakKill.Campaign'
  export QP_KILL_CAMPAIGN="${2:-100}" QP_KILL_FIRST_SEED="${3:-1}"
elif [ "${1:-}" = "replay" ]; then
  FILTER='SoakCampaign.Replay'
  export QP_SOAK_REPLAY="Z:$(realpath "$QP_SOAK_REPLAY" | tr / '\\')"
else
  [ $# -ge 2 ] || { echo "usage: soak.sh SEEDS STEPS [FIRST_SEED] | kills KILLS [FIRST_SEED] | replay"; exit 2; }
  FILTER='SoakCampaign.Run'
  export QP_SOAK_SEEDS="$1" QP_SOAK_STEPS="$2" QP_SOAK_FIRST_SEED="${3:-1}"
fi
build_win >/dev/null || { echo "soak: the Windows build failed"; exit 1; }
ensure_wineprefix
OUT="${QP_SOAK_DIR:-$ROOT/build/soak}"  # QP_SOAK_DIR, QP_WINEPREFIX, QP_SOAK_DISPLAY: campaigns side by side
mkdir -p "$OUT"
export QP_SOAK_OUT="Z:$(echo "$OUT" | tr / '\\')"
cd "$OUT"
# a copy of its own, so a rebuild during a long run leaves the running program alone
cp -f "$WIN_BUILD/bin/wintests.exe" "$OUT/soaktests.exe"
cp -f "$WIN_BUILD/bin/quiltpad.exe" "$OUT/quiltpad.exe"  # the second copy a step starts
# the log is written as it goes (iconv -f CP932 -t UTF-8 build/soak/soak.log shows the progress)
# QP_SOAK_DISPLAY: the first display number tried; campaigns side by side each take their own, as
# two displays chosen at the same moment can be one (a crash in Wine's X11 driver, an MIT-SHM error)
nice -n 10 xvfb-run -n "${QP_SOAK_DISPLAY:-99}" -a -s "-screen 0 1280x800x24" wine "$OUT/soaktests.exe" --gtest_filter="$FILTER" > "$OUT/soak.log" 2>&1
rc=$?
iconv -f CP932 -t UTF-8 -c "$OUT/soak.log" | grep -v '^\[ \|^\[-\|^\[=\|^$'
wineserver -k 2>/dev/null || true
exit "$rc"
