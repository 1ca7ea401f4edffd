#!/usr/bin/env bash
# Creates the project's Wine prefix once: Japanese font replacements, no desktop integration.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ -f "$WINEPREFIX/.brn-ready" ]; then exit 0; fi
mkdir -p "$WINEPREFIX"
echo "prefix: creating $WINEPREFIX"
"${BRN_WINE[@]}" wineboot -i >/dev/null 2>&1 || true
reg="$WINEPREFIX/fonts.reg"
python3 - "$reg" <<'PY'
import sys
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
for name, repl in [("ＭＳ Ｐゴシック", "IPAPGothic"), ("ＭＳ ゴシック", "IPAGothic"),
                   ("ＭＳ 明朝", "IPAMincho"), ("ＭＳ Ｐ明朝", "IPAPMincho"),
                   ("MS Shell Dlg", "IPAPGothic"), ("MS Shell Dlg 2", "IPAPGothic"),
                   ("MS UI Gothic", "IPAPGothic"), ("Tahoma", "IPAPGothic"), ("メイリオ", "IPAPGothic")]:
    lines.append('"%s"="%s"' % (name, repl))
lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]", '"ShowCrashDialog"=dword:00000000', ""]
open(sys.argv[1], "w", encoding="utf-16").write("\r\n".join(lines))
PY
"${BRN_WINE[@]}" regedit /S "$reg" >/dev/null 2>&1
"$BRN_ROOT/scripts/wineserver.sh" -w || true
touch "$WINEPREFIX/.brn-ready"
