#!/usr/bin/env bash
# The list thread on a folder of 1,000 camera JPEGs under Wine and Xvfb: open to last thumbnail
# without and with the folder's cache file, median of 3; beside it vipsthumbnail making 88x60
# thumbnails of the same files, when installed. The pictures are 3000 x 2000 copies of the goexif
# camera sample with its Exif and a 160 x 120 Exif thumbnail, as a camera writes them (most of the
# other goexif samples carry Exif only, without picture data).
# Usage: bench/thumbnail_list_bench.sh [files] [runs] [icc]   (builds x64 first unless BRN_BENCH_BIN names the programs; BRN_NO_PEER=1 skips vips)
# icc: the pictures embed an Adobe RGB (1998) profile (ghostscript's a98.icc) and embedded colour
# management is on, so each thumbnail is converted from it.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
source "$here/scripts/xvfb.sh"
files="${1:-1000}"; runs="${2:-3}"; icc="${3:-}"
# BRN_BENCH_BIN: the folder of already built bench programs to run instead (a build to compare with).
bin="${BRN_BENCH_BIN:-$BRN_BUILD/x64/bin}"
[ -n "${BRN_BENCH_BIN:-}" ] || "$here/scripts/build.sh" x64 >/dev/null || exit 1
"$here/scripts/prefix.sh" || exit 1

pictures="$BRN_BUILD/bench/thumbs$files${icc:+_icc}"
if [ "$(find "$pictures" -maxdepth 1 -name '*.jpg' 2>/dev/null | wc -l)" != "$files" ]; then
  rm -rf "$pictures"; mkdir -p "$pictures"
  sample=$(dpkg -L golang-github-rwcarlsen-goexif-dev | grep -E '/sample1\.jpg$' | head -1)
  [ -n "$sample" ] || { echo "no goexif camera sample (golang-github-rwcarlsen-goexif-dev)" >&2; exit 1; }
  work=$(mktemp -d)
  convert "$sample" -resize '3000x2000!' -quality 90 "$work/master.jpg" &&
    convert "$sample" -resize '160x120!' -quality 85 -strip "$work/thumb.jpg" &&
    exiftool -q -overwrite_original -TagsFromFile "$sample" -all:all "$work/master.jpg" &&
    exiftool -q -overwrite_original '-ThumbnailImage<='"$work/thumb.jpg" "$work/master.jpg" &&
    { [ -z "$icc" ] || exiftool -q -overwrite_original '-ICC_Profile<=/usr/share/color/icc/ghostscript/a98.icc' "$work/master.jpg"; } ||
    { echo "could not make the camera picture (imagemagick, exiftool, libgs-common)" >&2; exit 1; }
  for ((i = 0; i < files; i++)); do cp "$work/master.jpg" "$(printf '%s/IMG_%04d.jpg' "$pictures" "$i")"; done
  rm -rf "$work"
fi

brn_start_xvfb
"$here/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
"${BRN_WINE[@]}" cmd /c exit </dev/null >/dev/null 2>&1 || true
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
winpictures=$("${BRN_WINE[@]}" winepath -w "$pictures" 2>/dev/null | tr -d '\r')
out=$("${BRN_WINE[@]}" "$bin/thumbnail_list_bench_win.exe" "$winpictures" "$runs" $icc 2>&1 | tr -d '\r')
rc=$?
echo "$out" | grep -v '^result:'
cold=$(sed -nE 's/^result: cold_ms=([0-9]+).*/\1/p' <<<"$out")
[ -n "$cold" ] || { echo "the bench failed" >&2; exit 1; }

if [ -z "${BRN_NO_PEER:-}" ] && command -v vipsthumbnail >/dev/null; then
  vips() {  # best of $runs, in ms; one process over all the files
    local best="" t0 t1 d thumbs; thumbs=$(mktemp -d)
    for ((r = 0; r < runs; r++)); do
      rm -f "$thumbs"/*
      t0=$(date +%s%N)
      "$@" vipsthumbnail --size 88x60 -o "$thumbs/%s.jpg" "$pictures"/*.jpg >/dev/null 2>&1
      t1=$(date +%s%N); d=$(( (t1 - t0) / 1000000 ))
      if [ -z "$best" ] || [ "$d" -lt "$best" ]; then best=$d; fi
    done
    echo "$best $(find "$thumbs" -name '*.jpg' | wc -l)"; rm -rf "$thumbs"
  }
  read -r vms vmade < <(vips env)
  read -r vms1 _ < <(vips env VIPS_CONCURRENCY=1)
  awk -v c="$cold" -v v="$vms" -v v1="$vms1" -v n="$vmade" -v f="$files" 'BEGIN {
    printf "vipsthumbnail 88x60: %d ms for %d files (%d thumbnails made, %.0f/s); one thread: %d ms\n", v, f, n, n * 1000 / v, v1
    printf "cold ratio ours/vipsthumbnail: %.2f (one-thread vips: %.2f)\n", c / v, c / v1 }'
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $rc
