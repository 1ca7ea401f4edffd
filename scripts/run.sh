#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brannomere under Wine on the given folder
# (default: a sample folder of camera JPEGs). Without an X display it runs under Xvfb and
# saves a screenshot to build/screenshot.png after a few seconds.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
"$here/setup.sh" || exit 1
source "$here/env.sh"
"$here/build.sh" x64 || exit 1
"$here/prefix.sh" || exit 1
sample="$BRN_BUILD/sample"
if [ ! -d "$sample" ]; then
  mkdir -p "$sample"
  src=$(dpkg -L golang-github-rwcarlsen-goexif-dev | grep -iE '\.jpe?g$' | grep -v /corrupt/ || true)
  for f in $src; do cp -n "$f" "$sample/" 2>/dev/null || true; done
fi
folder="${1:-$sample}"
winfolder=$("${BRN_WINE[@]}" winepath -w "$folder" 2>/dev/null | tr -d '\r')
exe="$BRN_BUILD/x64/bin/Brannomere.exe"
if [ -n "${DISPLAY:-}" ] && [ "${BRN_HEADLESS:-0}" != 1 ]; then
  exec "${BRN_WINE[@]}" "$exe" "$winfolder"
fi
BRN_USE_DISPLAY=0
source "$here/xvfb.sh"; brn_start_xvfb
"${BRN_WINE[@]}" "$exe" "$winfolder" &
pid=$!
sleep "${BRN_SHOT_DELAY:-15}"
import -window root "$BRN_BUILD/screenshot.png" && echo "run: screenshot saved to $BRN_BUILD/screenshot.png"
kill $pid 2>/dev/null; wait $pid 2>/dev/null
