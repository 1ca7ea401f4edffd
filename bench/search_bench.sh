#!/usr/bin/env bash
# The search over a tree of camera JPEGs by a shooting-data criterion (F-number = 8) under Wine,
# beside `exiftool -if` over the same tree in the same run. The pictures are small copies of the
# goexif camera sample carrying all its Exif and maker-note tags, in 20 F-number variants (one
# in 20 matches), spread over 100 folders.
# Usage: bench/search_bench.sh [files]   (builds x64 first)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
source "$here/scripts/xvfb.sh"
files="${1:-10000}"
"$here/scripts/build.sh" x64 >/dev/null || exit 1
"$here/scripts/prefix.sh" || exit 1

tree="$BRN_BUILD/bench/search$files"
if [ "$(find "$tree" -name '*.jpg' 2>/dev/null | wc -l)" != "$files" ]; then
  rm -rf "$tree"; mkdir -p "$tree"
  sample=$(dpkg -L golang-github-rwcarlsen-goexif-dev | grep -E '/sample1\.jpg$' | head -1)
  [ -n "$sample" ] || { echo "no goexif camera sample (golang-github-rwcarlsen-goexif-dev)" >&2; exit 1; }
  work=$(mktemp -d)
  convert "$sample" -resize '160x120!' -quality 80 "$work/small.jpg" || exit 1
  fnumbers=(1.4 1.8 2 2.2 2.5 2.8 3.2 3.5 4 4.5 5 5.6 6.3 7.1 8 9 10 11 13 16)
  for ((v = 0; v < 20; v++)); do
    exiftool -q -TagsFromFile "$sample" -all:all "-FNumber=${fnumbers[$v]}" \
      -o "$work/v$v.jpg" "$work/small.jpg" || exit 1
  done
  for ((d = 0; d < 100; d++)); do mkdir -p "$(printf '%s/d%03d' "$tree" "$d")"; done
  for ((i = 0; i < files; i++)); do
    cp "$work/v$((i % 20)).jpg" "$(printf '%s/d%03d/IMG_%05d.jpg' "$tree" "$((i % 100))" "$i")"
  done
  rm -rf "$work"
fi

brn_start_xvfb
"$here/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
"${BRN_WINE[@]}" cmd /c exit </dev/null >/dev/null 2>&1 || true
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
wintree=$("${BRN_WINE[@]}" winepath -w "$tree" 2>/dev/null | tr -d '\r')
"${BRN_WINE[@]}" "$BRN_BUILD/x64/bin/search_bench_win.exe" "$wintree" 8 2>&1 | tr -d '\r' | grep -v '^fixme'

start=$(date +%s.%N)
found=$(exiftool -q -q -r -ext jpg -if '$FNumber == 8' -p '$FileName' "$tree" | wc -l)
end=$(date +%s.%N)
awk -v n="$files" -v f="$found" -v s="$start" -v e="$end" \
  'BEGIN{printf "exiftool -if (native): %d files in %.2f s = %.0f files/s, %d found\n", n, e - s, n / (e - s), f}'
