#!/usr/bin/env bash
# Installs what is missing, builds x64, x86 and the native pure-logic library, and runs every test:
# the native tests under ASan/UBSan, the Windows tests under Wine and Xvfb, and short fuzz runs.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
"$here/setup.sh" || exit 1
source "$here/env.sh"
source "$here/xvfb.sh"
source "$here/pdf_printer.sh"
"$here/build.sh" x64 x86 native fuzz || exit 1
"$here/prefix.sh" || exit 1
brn_start_xvfb
brn_start_pdf_printer
# Start the wineserver and Wine's services now, detached from our pipes: ctest would otherwise
# wait for those long-lived processes to close the output pipe of the first test.
"$BRN_ROOT/scripts/wineserver.sh" -p </dev/null >/dev/null 2>&1 || true
"${BRN_WINE[@]}" cmd /c exit </dev/null >/dev/null 2>&1 || true

passed=0; failed=0
count() {  # reads ctest's summary line: "NN% tests passed, F tests failed out of T"
  local line; line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$1" | tail -1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  local f t; f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + t - f)); failed=$((failed + f))
}

echo "== include layers"
if "$here/check_layers.sh"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

# The benches are built with the rest (a bench a change breaks fails the build); here their
# scripts parse and every bench program is there.
echo "== benches"
bench_ok=1
for f in "$BRN_ROOT"/bench/*.sh; do bash -n "$f" || bench_ok=0; done
for f in "$BRN_ROOT"/bench/*_bench_win.cpp; do
  [ -f "$BRN_BUILD/x64/bin/$(basename "$f" .cpp).exe" ] || { echo "missing: $(basename "$f" .cpp).exe"; bench_ok=0; }
done
for f in "$BRN_ROOT"/bench/*_bench_native.cpp; do
  for p in "$(basename "$f" .cpp)" "$(basename "$f" .cpp)_O2"; do
    [ -x "$BRN_BUILD/native/$p" ] || { echo "missing: $p"; bench_ok=0; }
  done
done
if [ "$bench_ok" = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

echo "== native tests (ASan/UBSan)"
(cd "$BRN_BUILD/native" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$(nproc)") 2>&1 | tee "$BRN_BUILD/native-tests.log"
count "$BRN_BUILD/native-tests.log"

# One at a time: window tests share one display, its focus and its keyboard.
echo "== Windows tests (Wine, Xvfb $DISPLAY)"
(cd "$BRN_BUILD/x64" && ctest --output-on-failure ${BRN_CTEST_ARGS:-}) 2>&1 | tee "$BRN_BUILD/wine-tests.log"
count "$BRN_BUILD/wine-tests.log"

echo "== fuzz targets (short runs)"
"$here/fuzz.sh" 20 2>&1 | tee "$BRN_BUILD/fuzz.log"
fz_ok=$(grep -c '^fuzz ok' "$BRN_BUILD/fuzz.log"); fz_bad=$(grep -c '^fuzz FAILED' "$BRN_BUILD/fuzz.log")
passed=$((passed + fz_ok)); failed=$((failed + fz_bad))

echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
