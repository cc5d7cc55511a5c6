#!/usr/bin/env bash
# Sets up, builds and starts Quiltpad under Wine from its program folder (build/win/bin).
# With a display the program stays until you close it. Without one, it runs on a virtual
# display: the script waits for the main window, saves a screenshot, and closes the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
bash scripts/setup.sh
build_win >/dev/null
ensure_wineprefix
BIN="$WIN_BUILD/bin"
mkdir -p "$BIN/data"

if [ -n "${DISPLAY:-}" ]; then
  cd "$BIN" && exec wine quiltpad.exe
fi

SHOT="${QP_SCREENSHOT:-$ROOT/build/screenshot.png}"
export SHOT BIN
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -e
  cd "$BIN"
  wine quiltpad.exe &
  prog=$!
  wine qpctl.exe wait 60
  sleep 2
  import -window root "$SHOT"
  wine qpctl.exe close 30
  wait $prog || true
'
wineserver -k 2>/dev/null || true
echo "screenshot: $SHOT"
