#!/usr/bin/env bash
# Installs what building, running and testing Quiltpad needs on Debian 12.
# Safe to run again: it only installs what is missing.
set -euo pipefail

PKGS=(cmake ninja-build g++ clang googletest libbenchmark-dev libssl-dev
      g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth xdotool imagemagick
      fonts-ipafont-gothic locales-all libxrender1 libxrandr2 libxcursor1 libxi6
      libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1 libgnutls30 python3
      chromium)  # chromium: the manual drawn headless (tests/manual)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
