#!/usr/bin/env bash
# Builds the Windows release: build/dist/quiltpad-3.21-win64.zip, holding one folder
# quiltpad-3.21 with quiltpad.exe, qpdtool.exe, the HTML manual (help.html and help\)
# and the Japanese readme お読みください.txt (code page 932, CR LF).
#   bash scripts/package.sh [--unpack DIR]   also unpacks the zip into DIR (for the tests)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"

VERSION=3.21
DIST="$ROOT/build/dist"
ZIP="$DIST/quiltpad-$VERSION-win64.zip"
UNPACK=""
if [ "${1:-}" = "--unpack" ]; then UNPACK="${2:?--unpack needs a folder}"; fi

bash scripts/setup.sh
# the programs shipped leave the write seam's test hooks out (the test programs keep theirs)
cmake -S "$ROOT" -B "$WIN_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DQUILT_WRITE_SEAM=OFF >/dev/null
# the build folder is the developers' too: it keeps the hooks for the next build
trap 'cmake -S "$ROOT" -B "$WIN_BUILD" -DQUILT_WRITE_SEAM=ON >/dev/null' EXIT
build_win >/dev/null
if x86_64-w64-mingw32-nm "$WIN_BUILD/bin/quiltpad.exe" | grep -q 'atomicfaults.*gBefore'; then
  echo "package: quiltpad.exe still carries the write seam's test hooks" >&2; exit 1
fi
for f in quiltpad.exe qpdtool.exe; do
  [ -f "$WIN_BUILD/bin/$f" ] || { echo "package: $WIN_BUILD/bin/$f is missing" >&2; exit 1; }
done
mkdir -p "$DIST/stripped"
# the programs without their symbols (a third of the size; the resources stay)
for f in quiltpad.exe qpdtool.exe; do
  x86_64-w64-mingw32-strip -o "$DIST/stripped/$f" "$WIN_BUILD/bin/$f"
done

python3 - "$ZIP" "$DIST/stripped" "$ROOT/help/manual" "$ROOT/res/package/readme-ja.txt" "$VERSION" <<'PY'
import os, sys, time, zipfile

zip_path, bin_dir, manual_dir, readme_path, version = sys.argv[1:]
top = f"quiltpad-{version}/"

class Cp932Name(zipfile.ZipInfo):
    # Names in code page 932 without the UTF-8 flag: what Explorer and the usual
    # unpackers of a Japanese Windows 7 to 11 read correctly.
    def _encodeFilenameFlags(self):
        return self.filename.encode("cp932"), self.flag_bits & ~0x800

def add(archive, name, data, mtime):
    info = Cp932Name(top + name, time.localtime(mtime)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)

readme = open(readme_path, encoding="utf-8").read()
readme_bytes = readme.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")  # fails on a character outside 932

tmp = zip_path + ".tmp"
with zipfile.ZipFile(tmp, "w") as archive:
    for exe in ("quiltpad.exe", "qpdtool.exe"):
        path = os.path.join(bin_dir, exe)
        add(archive, exe, open(path, "rb").read(), os.path.getmtime(path))
    add(archive, "お読みください.txt", readme_bytes, os.path.getmtime(readme_path))
    for folder, dirs, files in os.walk(manual_dir):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, manual_dir).replace(os.sep, "/")
            add(archive, relative, open(path, "rb").read(), os.path.getmtime(path))
os.replace(tmp, zip_path)
PY
echo "package: $ZIP ($(stat -c %s "$ZIP") bytes)"

if [ -n "$UNPACK" ]; then
  rm -rf "$UNPACK"; mkdir -p "$UNPACK"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], metadata_encoding="cp932").extractall(sys.argv[2])' \
    "$ZIP" "$UNPACK"
  echo "package: unpacked into $UNPACK"
fi
