#!/usr/bin/env bash
# The list load of a folder of 10,000 picture files under Wine (without and with cache records),
# beside the floor of the same walk natively: find -printf of name, size and time, sorted.
# Usage: bench/list_load_bench.sh [runs]   (builds x64 first)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
runs="${1:-3}"
"$here/scripts/build.sh" x64 >/dev/null || exit 1
"$here/scripts/prefix.sh" || exit 1
folder="$BRN_BUILD/bench/list10000"
if [ "$(find "$folder" -maxdepth 1 -name '*.JPG' 2>/dev/null | wc -l)" != 10000 ]; then
  rm -rf "$folder"; mkdir -p "$folder"
  for ((i = 0; i < 10000; i++)); do printf 'IMG_%05d.JPG...' "$i" >"$(printf '%s/IMG_%05d.JPG' "$folder" "$i")"; done
fi
"$here/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
winfolder=$("${BRN_WINE[@]}" winepath -w "$folder" 2>/dev/null | tr -d '\r')
out=$("${BRN_WINE[@]}" "$BRN_BUILD/x64/bin/list_load_bench_win.exe" "$winfolder" "$runs" 2>&1 | tr -d '\r')
rc=$?
echo "$out" | grep -v '^result:'
cold=$(sed -nE 's/^result: cold_ms=([0-9.]+).*/\1/p' <<<"$out")
[ -n "$cold" ] || { echo "the bench failed" >&2; exit 1; }
best=""
for ((r = 0; r < runs; r++)); do
  t0=$(date +%s%N)
  find "$folder" -maxdepth 1 -type f -printf '%f %s %T@\n' | sort >/dev/null
  t1=$(date +%s%N); d=$(( (t1 - t0) / 1000 ))
  if [ -z "$best" ] || [ "$d" -lt "$best" ]; then best=$d; fi
done
awk -v c="$cold" -v f="$best" 'BEGIN {
  printf "find -printf + sort (native floor): %.1f ms\n", f / 1000
  printf "list load ratio ours/floor: %.1f\n", c * 1000 / f }'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $rc
