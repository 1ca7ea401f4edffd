#!/usr/bin/env bash
# Builds the targets: x64 (runs under Wine), x86 (32-bit, compiled and linked only), native (pure logic under sanitizers).
# Usage: build.sh [--program] [x64] [x86] [native] [fuzz]   (default: x64 x86 native)
# --program: only the program and its RAW module, no test programs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
only=()
if [ "${1:-}" = --program ]; then only=(--target Brannomere); shift; fi
targets=("$@"); [ ${#targets[@]} -gt 0 ] || targets=(x64 x86 native)
jobs=${BRN_JOBS:-$(nproc)}
for t in "${targets[@]}"; do
  case "$t" in
    x64)    args=(-DCMAKE_TOOLCHAIN_FILE="$BRN_ROOT/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    x86)    args=(-DCMAKE_TOOLCHAIN_FILE="$BRN_ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release -DBRN_TESTS=OFF) ;;
    native) args=(-DBRN_NATIVE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
                  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
                  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined") ;;
    fuzz)   args=(-DBRN_NATIVE=ON -DBRN_FUZZERS=ON -DBRN_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
                  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -O1 -g"
                  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined") ;;
    *) echo "build.sh: unknown target $t" >&2; exit 2 ;;
  esac
  # A compiler cache, where one is installed, makes rebuilds of other work trees cheap.
  if command -v ccache >/dev/null; then args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  # The static libraries the Windows program carries (built once, then reused).
  case "$t" in x64|x86) "$BRN_ROOT/scripts/deps.sh" "$t" ;; esac
  dir="$BRN_BUILD/$t"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$BRN_ROOT" -B "$dir" -G Ninja "${args[@]}" >/dev/null
  fi
  echo "build: $t"
  cmake --build "$dir" -j "$jobs" "${only[@]}"
done
