#!/usr/bin/env bash
# The viewer's paint times on 20-megapixel JPEGs under Wine, stage by stage and through its
# threads, beside tjbench's full decode of the same file in the same run (libjpeg-turbo, native),
# which is the floor for a picture that must be decoded whole; prints the ratio.
# Usage: bench/viewer_bench.sh [steps=12] [icc]   (builds x64 first unless BRN_BENCH_BIN names the
# programs; icc: the pictures embed an sRGB profile and embedded colour management is on, so each
# decode also converts its colours)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/env.sh"
source "$here/scripts/xvfb.sh"
steps="${1:-12}"
icc="${2:-}"
# BRN_BENCH_BIN: the folder of already built bench programs to run instead (a build to compare with).
bin="${BRN_BENCH_BIN:-$BRN_BUILD/x64/bin}"
[ -n "${BRN_BENCH_BIN:-}" ] || "$here/scripts/build.sh" x64 >/dev/null || exit 1
"$here/scripts/prefix.sh" || exit 1
brn_start_xvfb
out="$BRN_BUILD/bench/viewer"; mkdir -p "$out"
"$here/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
winout=$("${BRN_WINE[@]}" winepath -w "$out" 2>/dev/null | tr -d '\r')
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
res=$("${BRN_WINE[@]}" "$bin/viewer_bench_win.exe" "$winout" "$steps" $icc 2>&1 | tr -d '\r')
rc=$?
echo "$res" | grep -v '^result:'
first=$(sed -nE 's/^result: first_ms=([0-9.]+).*/\1/p' <<<"$res")
[ -n "$first" ] || { echo "the bench failed" >&2; exit 1; }
command -v tjbench >/dev/null || { echo "tjbench: not installed (libjpeg-turbo-progs)"; exit $rc; }
# Decompression of the whole file to BGR, one thread.
tj=$(tjbench "$out/bench20mp.jpg" -benchtime 3 -warmup 1 2>&1)
fps=$(sed -nE 's/^Decompress +--> Frame rate: +([0-9.]+) fps.*/\1/p' <<<"$tj" | head -1)
[ -n "$fps" ] || { echo "tjbench gave no frame rate"; exit $rc; }
# The same at the quarter scale the 1200 x 800 pane is decoded at: the floor of the first paint,
# bound by the entropy decoding that no scale shortens.
tjq=$(tjbench "$out/bench20mp.jpg" -scale 1/4 -benchtime 3 -warmup 1 2>&1)
fpsq=$(sed -nE 's/^Decompress +--> Frame rate: +([0-9.]+) fps.*/\1/p' <<<"$tjq" | head -1)
awk -v f="$first" -v fps="$fps" -v fpsq="${fpsq:-0}" 'BEGIN {
  printf "tjbench full decode: %.1f ms\n", 1000 / fps
  if (fpsq > 0) printf "tjbench decode at 1/4: %.1f ms\n", 1000 / fpsq
  printf "first paint / tjbench decode: %.2f\n", f * fps / 1000 }'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $rc
