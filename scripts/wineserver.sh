#!/usr/bin/env bash
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
for w in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver /usr/bin/wineserver; do
  [ -x "$w" ] && exec "$w" "$@"
done
echo "wineserver not found" >&2; exit 1
