#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix; starts a virtual display when there is none.
#   QP_WINEPREFIX=... bash scripts/wine.sh build/win/bin/wintests.exe --gtest_filter=...
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
ensure_wineprefix
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" wine "$@"
fi
exec wine "$@"
