#!/usr/bin/env bash
# Metadata reading speed on the goexif sample files: our reader natively and under Wine, beside exiv2 -pa.
# Usage: bench/metadata_bench.sh [seconds]   (builds native and x64 first)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
secs="${1:-3}"
dir=/usr/share/gocode/src/github.com/rwcarlsen/goexif/exif/samples
"$here/scripts/build.sh" native x64 >/dev/null || exit 1
echo -n "sanitizer build: "; "$BRN_BUILD/native/metadata_bench_native" "$dir" "$secs"
# The native build carries ASan/UBSan; its optimised copy shows the reader's own speed.
echo -n "optimised (-O2): "; "$BRN_BUILD/native/metadata_bench_native_O2" "$dir" "$secs"
wine_out=""
if [ -x "$BRN_BUILD/x64/bin/metadata_bench_win.exe" ]; then
  wine_out=$("$here/scripts/wine-run.sh" "$BRN_BUILD/x64/bin/metadata_bench_win.exe" "Z:${dir//\//\\}" "$secs" | tr -d '\r')
  echo "$wine_out"
fi
files=("$dir"/*)
n=0; start=$(date +%s.%N)
while :; do
  exiv2 -pa "${files[@]}" >/dev/null 2>&1
  n=$((n + ${#files[@]}))
  now=$(date +%s.%N)
  if awk -v s="$start" -v e="$now" -v l="$secs" 'BEGIN{exit !(e - s >= l)}'; then break; fi
done
awk -v n="$n" -v s="$start" -v e="$now" 'BEGIN{printf "exiv2 -pa (one process per pass): %d files in %.2f s = %.0f files/s\n", n, e - s, n / (e - s)}'
# The lock-free dump under Wine beside exiv2, as a ratio.
lockfree=$(sed -n 's/^metadata dump without the lock.* = \([0-9]*\) files\/s.*/\1/p' <<<"$wine_out")
if [ -n "$lockfree" ]; then
  awk -v w="$lockfree" -v n="$n" -v s="$start" -v e="$now" \
    'BEGIN{printf "lock-free dump under Wine / exiv2 -pa: %.2f\n", w / (n / (e - s))}'
fi
