#!/usr/bin/env bash
# Develops a synthetic 24-megapixel DNG with DevelopRawToTiff under Wine (modes 0, 1, 3) and the
# same file with LibRaw's own dcraw_emu (same options, output discarded), mode by mode in turn,
# and prints both times (best of 3) and their ratio, then our stage times and the pixels' digest.
# Needs a built x64 tree ($BRN_BUILD/x64) and the Wine prefix (scripts/prefix.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
out="$BRN_BUILD/bench"; mkdir -p "$out"
exe="$BRN_BUILD/x64/bin/raw_develop_bench_win.exe"
winout=$("${BRN_WINE[@]}" winepath -w "$out" 2>/dev/null | tr -d '\r')
"${BRN_WINE[@]}" "$exe" "$winout" 9 >/dev/null 2>&1 || true   # writes the file (mode 9 fails at once)
theirs() { local best=""; for _ in 1 2 3; do
    local t0 t1 d; t0=$(date +%s%N); dcraw_emu "$@" -mem -Z - "$out/bench24.dng" >/dev/null; t1=$(date +%s%N)
    d=$(( (t1 - t0) / 1000000 )); if [ -z "$best" ] || [ "$d" -lt "$best" ]; then best=$d; fi; done; echo "$best"; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
for mode in 0 1 3; do
  run=$("${BRN_WINE[@]}" "$exe" "$winout" "$mode" | tr -d '\r')
  ours=$(sed -nE "s/^mode $mode: ([0-9]+) ms.*/\1/p" <<<"$run")
  case $mode in 0) extra=(-h -f) ;; 3) extra=(-h) ;; *) extra=() ;; esac
  lib=$(theirs -w -q 0 -o 1 -T "${extra[@]}")
  awk -v m="$mode" -v a="$ours" -v b="$lib" \
    'BEGIN { printf "mode %s: DevelopRawToTiff %d ms, dcraw_emu %d ms, ratio %.2f\n", m, a, b, a / b }'
  sed -n "s/^mode $mode stages: /  stages: /p" <<<"$run"
done
