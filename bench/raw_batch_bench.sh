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
exe="$BRN_BUILD/x64/bin/raw_batch_bench_win.exe"
setup=$("${BRN_WINE[@]}" "$exe" "$winwork" "$files" 0 2>&1 | tr -d '\r')
echo "$setup" | grep -E '^(settings|files):'
mode=$(sed -nE 's/^settings: development mode ([0-9]+).*/\1/p' <<<"$setup")
[ -n "$mode" ] || { echo "$setup" | tail -20; echo "the bench failed" >&2; exit 1; }
case $mode in 0) opts=(-h -f) ;; 2) opts=(-f) ;; *) opts=() ;; esac
echo "dcraw_emu -w -q 0 -o 1 -T ${opts[*]} -Z <file>.tiff <file>.dng (before and after ours; mean of the two)"
mkdir -p "$work/dng$files/dcraw"
theirs_run() {  # dcraw_emu over every file; per-file ms into the named array
  local -n into=$1; local i n t0 t1
  for ((i = 1; i <= files; i++)); do
    n=$(printf '%02d' "$i"); t0=$(date +%s%N)
    dcraw_emu -w -q 0 -o 1 -T "${opts[@]}" -Z "$work/dng$files/dcraw/raw_$n.tiff" "$work/dng$files/raw_$n.dng" >/dev/null || return 1
    t1=$(date +%s%N); into[i]=$(( (t1 - t0) / 1000000 ))
  done; }
declare -a before after
theirs_run before || exit 1
out=$("${BRN_WINE[@]}" "$exe" "$winwork" "$files" 7 2>&1 | tr -d '\r')
rc=$?
theirs_run after || exit 1
grep '^save parts' <<<"$out"
[ "$rc" = 0 ] && grep -q '^result:' <<<"$out" || { echo "$out" | tail -20; echo "the bench failed" >&2; exit 1; }
printf '%-4s %8s %34s %9s %31s %8s %7s %7s\n' file steps "(develop decode save)" batch "(develop tick save)" dcraw st/dc ba/dc
theirs_sum=0
for ((i = 1; i <= files; i++)); do
  n=$(printf '%02d' "$i")
  theirs=$(( (before[i] + after[i]) / 2 )); theirs_sum=$((theirs_sum + theirs))
  s=$(sed -nE "s/^file $n pass1: ([0-9]+) ms \(develop ([0-9]+), decode ([0-9]+), save ([0-9]+)\).*/\1 \2 \3 \4/p" <<<"$out")
  b=$(sed -nE "s/^file $n batch: ([0-9]+) ms \(develop ([0-9]+), tick wait ([0-9]+), save ([0-9]+)\).*/\1 \2 \3 \4/p" <<<"$out")
  awk -v f="$n" -v s="$s" -v b="$b" -v c="$theirs" 'BEGIN { split(s, x, " "); split(b, y, " ")
    printf "%-4s %8d %10d %11d %11d %9d %10d %9d %10d %8d %7.2f %7.2f\n", f, x[1], x[2], x[3], x[4], y[1], y[2], y[3], y[4], c, x[1] / c, y[1] / c }'
done
awk -v r="$(sed -n 's/^result: //p' <<<"$out")" -v t="$theirs_sum" -v n="$files" 'BEGIN {
  split(r, kv, " "); for (i in kv) { split(kv[i], p, "="); v[p[1]] = p[2] }
  d = t / n
  printf "mean per file: steps %.0f ms (develop %.0f, decode %.0f, save %.0f), real batch %.0f ms, dcraw_emu %.0f ms\n",
    v["pass1_ms"], v["develop_ms"], v["decode_ms"], v["save_ms"], v["batch_ms"], d
  printf "ratio to dcraw_emu: steps %.2f, real batch %.2f; development alone %.2f\n",
    v["pass1_ms"] / d, v["batch_ms"] / d, v["develop_ms"] / d }'
ls -l "$work/dng$files/develop/raw_01.tiff" "$work/dng$files/dcraw/raw_01.tiff" 2>/dev/null | awk '{ print "output:", $5, $NF }'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
