#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (only what is missing).
# Usage: setup.sh [--run]   --run: only what building and running the 64-bit program needs.
set -euo pipefail
# The program, its 64-bit build and the run command's sample folder.
RUN_PKGS=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix nasm dpkg-dev wine wine64 xvfb
          fonts-ipafont-gothic fonts-ipafont-mincho imagemagick python3 locales
          golang-github-rwcarlsen-goexif-dev xdotool)
# The 32-bit build, the native and fuzz builds, the tests' oracles, printer and movies, the
# benches' peers.
TEST_PKGS=(mingw-w64 g++-mingw-w64-i686-posix xauth x11-utils libraw-dev libraw-bin
           clang libclang-rt-14-dev libimage-exiftool-perl exiv2
           cups-daemon cups-client printer-driver-cups-pdf poppler-utils
           gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
           ffmpeg libjpeg-turbo-progs)
PKGS=("${RUN_PKGS[@]}")
if [ "${1:-}" != --run ]; then PKGS+=("${TEST_PKGS[@]}"); fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Japanese file names reach Wine through the Unix locale: it must exist, not just be named.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$'; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
# The libraries the Windows program carries, from Debian's sources, for both targets (or those
# named in BRN_DEPS_TARGETS).
# shellcheck disable=SC2086
"$(dirname "${BASH_SOURCE[0]}")/deps.sh" ${BRN_DEPS_TARGETS:-x64 x86}
