#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 300) on its seed corpus,
# several at once (one core each).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
secs="${1:-300}"
dir="$BRN_BUILD/fuzz"
[ -d "$dir" ] || "$BRN_ROOT/scripts/build.sh" fuzz >/dev/null
jobs_max=$(nproc)
shopt -s nullglob
run_one() {
  local exe="$1" name seeds work
  name=$(basename "$exe")
  seeds="$BRN_ROOT/tests/fuzz/corpus/${name%_fuzz}"
  work="$dir/corpus-$name"; mkdir -p "$work"
  local args=("$work"); [ -d "$seeds" ] && args+=("$seeds")
  if "$exe" -max_total_time="$secs" -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$dir/" -print_final_stats=1 "${args[@]}" >"$dir/$name.log" 2>&1; then
    echo "fuzz ok $name ($(grep -E 'stat::number_of_executed_units' "$dir/$name.log" | awk '{print $2}') runs)"
  else
    echo "fuzz FAILED $name: see $dir/$name.log"; tail -30 "$dir/$name.log"
  fi
}
for exe in "$dir"/*_fuzz; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue  # not the corpus-*_fuzz work folders
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do sleep 0.5; done
  run_one "$exe" > "$dir/$(basename "$exe").result" &
done
wait
cat "$dir"/*.result 2>/dev/null
rm -f "$dir"/*.result
