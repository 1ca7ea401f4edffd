#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brannomere under Wine on the given folder
# (default: a sample folder of camera JPEGs). Without an X display it runs under Xvfb and
# saves a screenshot to build/screenshot.png after a few seconds (on a first start it agrees to the
# terms of use and closes the settings window first); a screenshot of one flat
# colour (the program drew nothing on that display) fails the run.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
# Only what runs: the 64-bit libraries, the program and its RAW module (the test programs are
# built by the test command).
BRN_DEPS_TARGETS=x64 "$here/setup.sh" --run || exit 1
source "$here/env.sh"
"$here/build.sh" --program x64 || exit 1
headless=0
if [ -z "${DISPLAY:-}" ] || [ "${BRN_HEADLESS:-0}" = 1 ]; then headless=1; fi
if [ "$headless" = 1 ]; then
  # The display must exist before the first Wine call: the wineserver and its desktop process
  # that call starts keep the display they were started with.
  "$BRN_ROOT/scripts/wineserver.sh" -k 2>/dev/null || true
  BRN_USE_DISPLAY=0
  source "$here/xvfb.sh"; brn_start_xvfb
fi
"$here/prefix.sh" || exit 1
# Camera JPEGs that decode: the goexif samples' Exif blocks on libjpeg-turbo's test photographs
# (both from Debian packages the set-up fetched).
sample="$BRN_BUILD/sample"
if [ -z "${1:-}" ] && [ ! -f "$sample/.made" ]; then
  rm -rf "$sample"
  exif=$(dpkg -L golang-github-rwcarlsen-goexif-dev | grep -m1 '/exif/samples$')
  pictures=$(sed -n 2p "$BRN_BUILD/deps/src/libjpeg-turbo.version")
  python3 "$here/make_sample_folder.py" "$sample" "$exif" "$BRN_BUILD/deps/src/$pictures/testimages" || exit 1
  touch "$sample/.made"
fi
folder="${1:-$sample}"
winfolder=$("${BRN_WINE[@]}" winepath -w "$folder" 2>/dev/null | tr -d '\r')
exe="$BRN_BUILD/x64/bin/Brannomere.exe"
# A program folder without its settings file starts with the terms of use, then the settings
# window of a new version.
first=0; [ -f "$BRN_BUILD/x64/bin/Brannomere.cfg" ] || first=1
if [ "$headless" = 0 ]; then
  exec "${BRN_WINE[@]}" "$exe" "$winfolder"
fi
"${BRN_WINE[@]}" "$exe" "$winfolder" &
pid=$!
sleep "${BRN_SHOT_DELAY:-15}"
if [ "$first" = 1 ]; then
  # Nobody sits at this display: agree to the terms and close the settings window, as a new
  # user would, so that the screenshot shows the folder.
  xdotool key Return; sleep 6
  xdotool key Escape; sleep 4
fi
shot="$BRN_BUILD/screenshot.png"
status=0
if import -window root "$shot"; then
  echo "run: screenshot saved to $shot"
  colours=$(identify -format '%k' "$shot" 2>/dev/null || echo 0)
  if [ "${colours:-0}" -le 1 ]; then
    echo "run: the screenshot is one flat colour: the program drew nothing on the display" >&2
    status=1
  fi
else
  status=1
fi
kill $pid 2>/dev/null; wait $pid 2>/dev/null
exit $status
