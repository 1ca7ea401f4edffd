#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's prefix and locale (ctest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
exec "${BRN_WINE[@]}" "$@"
