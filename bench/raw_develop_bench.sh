#!/usr/bin/env bash
# Develops a synthetic 24-megapixel DNG with DevelopRawToTiff under Wine (modes 0, 1, 3) and the
# same file with LibRaw's own dcraw_emu (same options, output discarded); prints both and the ratio.
# Needs a built x64 tree ($BRN_BUILD/x64) and the Wine prefix (scripts/prefix.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
out="$BRN_BUILD/bench"; mkdir -p "$out"
exe="$BRN_BUILD/x64/bin/raw_develop_bench_win.exe"
winout=$("${BRN_WINE[@]}" winepath -w "$out" 2>/dev/null | tr -d '\r')
ours=$("${BRN_WINE[@]}" "$exe" "$winout" | tr -d '\r')
echo "$ours"
ms() { local best=""; for _ in 1 2 3; do
    local t0 t1; t0=$(date +%s%N); dcraw_emu "$@" -mem -Z - "$out/bench24.dng" >/dev/null; t1=$(date +%s%N)
    local d=$(( (t1 - t0) / 1000000 )); { [ -z "$best" ] || [ "$d" -lt "$best" ]; } && best=$d; done; echo "$best"; }
common=(-w -q 0 -o 1 -T)
for mode in 0 1 3; do
  case $mode in 0|3) extra=(-h -f) ;; 1) extra=() ;; esac
  theirs=$(ms "${common[@]}" "${extra[@]}")
  mine=$(sed -nE "s/^mode $mode: ([0-9]+) ms.*/\1/p" <<<"$ours")
  awk -v m="$mode" -v a="$mine" -v b="$theirs" \
    'BEGIN { printf "mode %s: DevelopRawToTiff %d ms, dcraw_emu %d ms, ratio %.2f\n", m, a, b, a / b }'
done
