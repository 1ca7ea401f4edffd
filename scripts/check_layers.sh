#!/usr/bin/env bash
# The folders read downwards: a file includes only its own folder and the folders below it, and
# code under */pure/ includes only */pure/ code. Prints each include that goes the wrong way and
# fails if there is one; --count prints the wrong-way includes by pair of folders instead.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Bottom first. resources/ and rawdecoder/ hold ids and a C interface: every folder may use them,
# and they use nothing of the program.
ORDER="resources rawdecoder core metadata viewer browser actions settings_dialog printing app"
SHARED="resources rawdecoder"

# shellcheck disable=SC2086
grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' $ORDER --include='*.cpp' --include='*.h' 2>/dev/null |
awk -v order="$ORDER" -v shared="$SHARED" -v mode="${1:-}" '
  BEGIN {
    n = split(order, o, " "); for (i = 1; i <= n; ++i) rank[o[i]] = i
    m = split(shared, s, " "); for (i = 1; i <= m; ++i) isShared[s[i]] = 1
  }
  {
    split($0, parts, ":"); file = parts[1]; line = parts[2]
    if (!match($0, /"[^"]+"/)) next
    target = substr($0, RSTART + 1, RLENGTH - 2)
    from = file; sub(/\/.*/, "", from)
    to = target; if (!sub(/\/.*/, "", to)) next          # a header of the same folder by bare name
    if (!(to in rank)) next                               # not one of ours
    bad = ""
    if (file ~ /\/pure\// && target !~ /\/pure\// && !(to in isShared)) bad = "pure code includes code that is not pure"
    else if (from != to && (from in isShared)) bad = from "/ is shared and includes nothing of the program"
    else if (from != to && !(to in isShared) && rank[to] > rank[from]) bad = from "/ includes " to "/, which is above it"
    if (bad == "") next
    ++count; ++pairs[from " -> " to]
    if (mode != "--count") print file ":" line ": " target " (" bad ")"
  }
  END {
    if (mode == "--count") for (p in pairs) print p ": " pairs[p] | "sort"
    close("sort")
    print "check_layers: " count + 0 " include(s) against the order, bottom first: " order
    exit count > 0
  }'
