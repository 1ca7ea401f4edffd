#!/usr/bin/env bash
# Builds the 64-bit program and runs its Windows tests under Wine and a private Xvfb display.
# Arguments go to ctest, e.g. `wine-tests.sh -R catalogue` for one test program.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/env.sh"
source "$here/xvfb.sh"
source "$here/pdf_printer.sh"
"$here/build.sh" x64 || exit 1
"$here/prefix.sh" || exit 1
brn_start_xvfb
brn_start_pdf_printer
"$BRN_ROOT/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
"${BRN_WINE[@]}" cmd /c exit </dev/null >/dev/null 2>&1 || true
cd "$BRN_BUILD/x64" && ctest --output-on-failure "$@"
