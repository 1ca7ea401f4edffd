#!/usr/bin/env bash
# The RAW development batch over synthetic 24-megapixel DNGs under Wine and Xvfb (the batch's own steps
# phase by phase, then the real batch), and LibRaw's dcraw_emu with the batch's options on the
# same files in the same run, each writing its TIFF. Prints per-file times and the ratios.
# The batch's default development is full size with four colours (mode 2): dcraw_emu -w -q 0
# -o 1 -f -T; mode 1 drops -f, mode 0 adds -h.
# Usage: bench/raw_batch_bench.sh [files=20]   (builds x64 first)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
source "$here/scripts/xvfb.sh"
files="${1:-20}"
command -v dcraw_emu >/dev/null || { echo "dcraw_emu is missing (libraw-bin; scripts/setup.sh)" >&2; exit 1; }
"$here/scripts/build.sh" x64 >/dev/null || exit 1
"$here/scripts/prefix.sh" || exit 1
brn_start_xvfb
work="$BRN_BUILD/bench/rawbatch"; mkdir -p "$work"
"$here/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
winwork=$("${BRN_WINE[@]}" winepath -w "$work" 2>/dev/null | tr -d '\r')
out=$("${BRN_WINE[@]}" "$BRN_BUILD/x64/bin/raw_batch_bench_win.exe" "$winwork" "$files" 7 2>&1 | tr -d '\r')
rc=$?
echo "$out" | grep -E '^(settings|files|result):'
mode=$(sed -nE 's/^settings: development mode ([0-9]+).*/\1/p' <<<"$out")
[ "$rc" = 0 ] && [ -n "$mode" ] || { echo "$out" | tail -20; echo "the bench failed" >&2; exit 1; }
case $mode in 0) opts=(-h -f) ;; 2) opts=(-f) ;; *) opts=() ;; esac
echo "dcraw_emu -w -q 0 -o 1 -T ${opts[*]} -Z <file>.tiff <file>.dng"
mkdir -p "$work/dng/dcraw"
printf '%-6s %10s %10s %10s %8s %8s\n' file ours_ms batch_ms dcraw_ms ours/dc batch/dc
theirs_sum=0
for ((i = 1; i <= files; i++)); do
  n=$(printf '%02d' "$i")
  t0=$(date +%s%N)
  dcraw_emu -w -q 0 -o 1 -T "${opts[@]}" -Z "$work/dng/dcraw/raw_$n.tiff" "$work/dng/raw_$n.dng" >/dev/null || exit 1
  t1=$(date +%s%N)
  theirs=$(( (t1 - t0) / 1000000 )); theirs_sum=$((theirs_sum + theirs))
  ours=$(sed -nE "s/^file $n pass1: ([0-9]+) ms.*/\1/p" <<<"$out")
  batch=$(sed -nE "s/^file $n batch: ([0-9]+) ms.*/\1/p" <<<"$out")
  awk -v f="$n" -v a="$ours" -v b="$batch" -v c="$theirs" \
    'BEGIN { printf "%-6s %10d %10d %10d %8.2f %8.2f\n", f, a, b, c, a / c, b / c }'
done
awk -v r="$(sed -n 's/^result: //p' <<<"$out")" -v t="$theirs_sum" -v n="$files" 'BEGIN {
  split(r, kv, " "); for (i in kv) { split(kv[i], p, "="); v[p[1]] = p[2] }
  d = t / n
  printf "mean per file: ours %.0f ms (develop %.0f, decode %.0f, save %.0f), real batch %.0f ms, dcraw_emu %.0f ms\n",
    v["pass1_ms"], v["develop_ms"], v["decode_ms"], v["save_ms"], v["batch_ms"], d
  printf "ratio ours/dcraw_emu: %.2f (steps), %.2f (real batch); develop alone %.2f\n",
    v["pass1_ms"] / d, v["batch_ms"] / d, v["develop_ms"] / d }'
ls -l "$work/dng/develop/raw_01.tiff" "$work/dng/dcraw/raw_01.tiff" 2>/dev/null | awk '{ print "output:", $5, $NF }'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
