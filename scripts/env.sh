# Sourced by the scripts: where things are and how Wine is set up.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HOST_BUILD="${QP_HOST_BUILD:-$ROOT/build/host}"
WIN_BUILD="${QP_WIN_BUILD:-$ROOT/build/win}"
export WINEPREFIX="${QP_WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
unset LC_ALL
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

# Creates the Wine prefix once: no window manager waits, no crash dialog, title-bar glyphs.
ensure_wineprefix() {
  if [ -f "$WINEPREFIX/.quiltpad-ready" ]; then return 0; fi
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$WINEPREFIX/.quiltpad-ready"
}

# Prefixes whose display has more pixels per inch (150 % and 200 %): the layout and the
# scaled sizes are tested there too, and the screenshots of each scale are taken there.
WINEPREFIX_144="${QP_WINEPREFIX_144:-$ROOT/build/wineprefix144}"
WINEPREFIX_192="${QP_WINEPREFIX_192:-$ROOT/build/wineprefix192}"
# ensure_wineprefix_dpi DPI FOLDER: a prefix in FOLDER whose display has DPI pixels per inch
ensure_wineprefix_dpi() {
  if [ -f "$2/.quiltpad-$1" ]; then return 0; fi
  (
    export WINEPREFIX="$2"
    ensure_wineprefix
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
  )
  touch "$2/.quiltpad-$1"
}
ensure_wineprefix144() { ensure_wineprefix_dpi 144 "$WINEPREFIX_144"; }
ensure_wineprefix192() { ensure_wineprefix_dpi 192 "$WINEPREFIX_192"; }

# A prefix for a Windows set to English (system code page 1252), run with LANG=en_US.UTF-8.
# As on an English Windows with East Asian fonts, the interface fonts link to a Japanese one.
WINEPREFIX_EN="${QP_WINEPREFIX_EN:-$ROOT/build/wineprefix-en}"
ensure_wineprefix_en() {
  if [ -f "$WINEPREFIX_EN/.quiltpad-en" ]; then return 0; fi
  (
    export WINEPREFIX="$WINEPREFIX_EN" LANG=en_US.UTF-8
    ensure_wineprefix
    for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI" "Arial"; do
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1
    done
    # the dialogs' Japanese faces, installed with the East Asian fonts there
    for face in "MS UI Gothic" "ＭＳ ゴシック" "MS Gothic"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
    done
    wineserver -w
  )
  touch "$WINEPREFIX_EN/.quiltpad-en"
}

build_host() {
  cmake -S "$ROOT" -B "$HOST_BUILD" -G Ninja >/dev/null
  cmake --build "$HOST_BUILD"
}

build_win() {
  cmake -S "$ROOT" -B "$WIN_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$WIN_BUILD"
}
