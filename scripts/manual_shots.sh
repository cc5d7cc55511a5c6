#!/bin/bash
# Takes the screenshots of the HTML manual (help/manual/help/images) from the
# Windows build, under the test display: a first start, then a second start
# with its dialogs opened one by one through qpctl. A window is photographed only
# once it has painted itself and every push button of it is visible; the script
# fails when one never is. The pictures are kept small: an 8-bit palette when
# they have 256 colours or fewer (the same picture), no metadata.
# The manual's pictures are of a 96-dpi display. With --scales the script takes, instead, the
# usage window, the main window, the settings dialog and the search window of a first start at 96, 144 and 192
# pixels per inch (a Wine prefix of each scale) into FOLDER, to look at the program there.
#   scripts/manual_shots.sh                     (after build_win)
#   scripts/manual_shots.sh --scales [FOLDER]   (FOLDER: build/scale-shots)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
OUT="$ROOT/help/manual/help/images"
QPCTL="$WIN_BUILD/bin/qpctl.exe"

if [ "${1:-}" = "--scales" ]; then
  SHOTS="${2:-$ROOT/build/scale-shots}"
  mkdir -p "$SHOTS"
  ensure_wineprefix
  ensure_wineprefix144
  ensure_wineprefix192
  WINEPREFIX_96="$WINEPREFIX"
  status=0
  for DPI in 96 144 192; do
    PREFIX="WINEPREFIX_$DPI"
    WORK="$(mktemp -d)"
    cp "$WIN_BUILD/bin/quiltpad.exe" "$WORK/"
    # the test display's size, at the scale: a first start's window has the same room around it
    QP_WINEPREFIX="${!PREFIX}" xvfb-run -a -s "-screen 0 $((1280 * DPI / 96))x$((800 * DPI / 96))x24" \
      bash "${BASH_SOURCE[0]}" --scales-inside "$WORK" "$SHOTS" "$DPI" || status=1
    WINEPREFIX="${!PREFIX}" wineserver -k
    rm -rf "$WORK"
  done
  exit $status
fi

if [ "${1:-}" != "--inside" ] && [ "${1:-}" != "--scales-inside" ]; then
  ensure_wineprefix
  WORK="$(mktemp -d)"
  cp "$WIN_BUILD/bin/quiltpad.exe" "$WORK/"
  mkdir -p "$OUT"
  # a screen a little smaller than the test display's, so that the first start's picture (the
  # main window centred, the usage window at the corner) is no wider than the manual's column
  xvfb-run -a -s "-screen 0 1140x720x24" bash "${BASH_SOURCE[0]}" --inside "$WORK"
  status=$?
  wineserver -k
  rm -rf "$WORK"
  exit $status
fi
WORK="$2"
FAILED=0

ctl() { wine "$QPCTL" "$@" 2>/dev/null | tr -d '\r'; }

# save FILE: the screen part in FILE.raw.png written small as FILE
save() {
  local colours
  colours="$(identify -format '%k' "$1.raw.png")"
  if [ "$colours" -le 256 ]; then
    convert "$1.raw.png" -strip -define png:exclude-chunks=date,time -define png:compression-level=9 "PNG8:$1"
  else
    convert "$1.raw.png" -strip -define png:exclude-chunks=date,time -define png:compression-level=9 "PNG24:$1"
  fi
  rm -f "$1.raw.png"
}

# ready CAPTION MIN-BUTTONS: the window has painted and shows at least MIN-BUTTONS push buttons
ready() {
  local buttons
  buttons="$(ctl ready "$1" 15)"
  if [ -z "$buttons" ] || [ "$buttons" -lt "$2" ]; then
    echo "not ready: $1 (push buttons seen: ${buttons:-none})"
    FAILED=1
    return 1
  fi
  sleep 0.5   # the display has drawn what the window painted
}

# shot NAME CAPTION [MIN-BUTTONS]: the window titled CAPTION, cropped from the screen
shot() {
  local rect
  ready "$2" "${3:-1}" || return 1
  rect="$(ctl rect "$2" 10)"
  if [ -z "$rect" ]; then echo "missing: $1 ($2)"; FAILED=1; return 1; fi
  read -r x y w h <<<"$rect"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$OUT/$1.png.raw.png" && save "$OUT/$1.png" && echo "took: $1"
}

# dialog NAME CAPTION COMMAND CLOSE-BUTTON: opens a dialog by its command, takes it, closes it
dialog() {
  ctl command "$3"
  shot "$1" "$2"
  ctl press "$2" "$4"
  sleep 1
}

MAIN="キルト帳　　version 3.21"

# one scale: a first start (its shortcut question answered No), then the three windows
if [ "$1" = "--scales-inside" ]; then
  OUT="$3"
  (cd "$WORK" && wine quiltpad.exe >/dev/null 2>&1 &)
  ctl wait 20
  ready "ショートカットの作成" 2 && ctl press "ショートカットの作成" 2
  ready "使い方" 4 && ctl command 32859   # in front of the main window,
  ctl press "使い方" 1015                  # on the page with the longest line
  shot "usage-$4" "使い方" 4
  ctl press "使い方" 1013
  sleep 1
  shot "main-$4" "$MAIN" 0
  dialog "settings-$4" "設定" 32844 2
  ctl command 32901   # the search window, hidden again by its Esc
  shot "search-$4" "検索" 1
  ctl press "検索" 2
  ctl close 20
  exit $FAILED
fi

# first start: the shortcut question, then the first page beside the usage window
(cd "$WORK" && wine quiltpad.exe >/dev/null 2>&1 &)
shot shortcut "ショートカットの作成"
ctl press "ショートカットの作成" 2
ctl wait 20
ready "$MAIN" 0 && ready "使い方" 4 &&
  import -window root -crop 890x600+0+0 +repage "$OUT/first.png.raw.png" && save "$OUT/first.png" && echo "took: first"
ctl press "使い方" 1013
ctl command 32791   # a folder with its page
ctl command 32790   # and one more page
sleep 1
ctl close 20

# second start: the book and an exit backup exist
(cd "$WORK" && wine quiltpad.exe >/dev/null 2>&1 &)
ctl wait 20
ctl command 32859   # the usage window in front, on its basic page
ctl press "使い方" 1011
shot usage "使い方" 4
ctl press "使い方" 1013
sleep 1
shot main "$MAIN" 0
dialog about "バージョン情報 Quiltpad" 104 2
dialog settings "設定" 32844 2
dialog restore "データの復元" 32856 2
dialog colours "配色の設定" 32899 2
dialog stdfont "標準フォントの適応" 32842 2
dialog search "検索" 32901 2
dialog password "パスワード登録" 32974 1004
ctl close 20
exit $FAILED
