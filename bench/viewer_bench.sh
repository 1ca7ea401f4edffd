#!/usr/bin/env bash
# The viewer's paint times on a 20-megapixel JPEG under Wine, beside tjbench's full decode of the
# same file (libjpeg-turbo, native), which is the floor for a picture that must be decoded whole.
# Needs a built x64 tree ($BRN_BUILD/x64) and the Wine prefix (scripts/prefix.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/xvfb.sh"
brn_start_xvfb
out="$BRN_BUILD/bench"; mkdir -p "$out"
exe="$BRN_BUILD/x64/bin/viewer_bench_win.exe"
winout=$("${BRN_WINE[@]}" winepath -w "$out" 2>/dev/null | tr -d '\r')
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
"${BRN_WINE[@]}" "$exe" "$winout" | tr -d '\r'
if command -v tjbench >/dev/null; then
  # Decompression of the whole file to RGB, one thread, at least 3 s of iterations.
  tjbench "$out/bench20mp.jpg" -benchtime 3 -warmup 1 2>&1 | grep -iE 'decomp|Throughput|Dest' | head -6
else
  echo "tjbench: not installed (libjpeg-turbo-progs)"
fi
