#!/usr/bin/env bash
# The PDF of the print job test read back by the host's PDF tools: one A4 page which, turned into
# a picture at the sheet's 100 dpi, is the sheet that was sent: three camera pictures in the first
# row, the fourth cell empty, the page number at the bottom. Skips (77) when the print job test
# had no printer and left no marker.
set -uo pipefail
marker="${BRN_PDF_DIR:-/nonexistent}/print_job.txt"
if [ ! -s "$marker" ]; then echo "skip: the print job test left no PDF to check"; exit 77; fi
pdf=$(sed -n 1p "$marker"); sheet=$(sed -n 2p "$marker")
fail() { echo "FAILED: $*"; exit 1; }

info=$(pdfinfo "$pdf") || fail "pdfinfo cannot read $pdf"
echo "$info"
[ "$(sed -n 's/^Pages: *//p' <<<"$info")" = 1 ] || fail "not one page"
grep -q '^Page size:.*(A4)' <<<"$info" || fail "not an A4 page"

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
pdftoppm -r 100 -png -singlefile "$pdf" "$work/page" || fail "pdftoppm"
size=$(identify -format '%w %h' "$work/page.png")
read -r w h <<<"$size"
[ $((w - 827)) -ge -2 ] && [ $((w - 827)) -le 2 ] && [ $((h - 1169)) -ge -2 ] && [ $((h - 1169)) -le 2 ] \
  || fail "page is $size pixels, not A4 at 100 dpi"
cp "$work/page.png" "$(dirname "$marker")/page.png"

# Mean brightness (0 black .. 1 white) of a region WxH+X+Y of the page.
mean() { convert "$work/page.png" -crop "$1" +repage -colorspace Gray -format '%[fx:mean]' info:; }
darkest() { convert "$work/page.png" -crop "$1" +repage -colorspace Gray -format '%[fx:minima]' info:; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
for column in 0 1 2; do
  x=$((15 + 160 * column + 30))
  m=$(mean "90x70+$x+50"); echo "cell $column: $m"
  below "$m" 0.8 || fail "cell $column holds no picture ($m)"
done
m=$(mean "120x100+$((15 + 160 * 3 + 15))+35"); echo "cell 3: $m"
below 0.98 "$m" || fail "cell 3 is not empty ($m)"
m=$(darkest "120x40+353+1125"); echo "page number: $m"
below "$m" 0.5 || fail "no page number ($m)"

# The whole page against the sheet that was sent, both at 826x1169.
# The sheet is a 32-bit bitmap whose alpha is unused.
convert "$sheet" -alpha off "$work/sheet.png" && convert "$work/page.png" -resize '826x1169!' "$work/page826.png" \
  || fail "cannot read the sheet"
rmse=$(compare -metric RMSE "$work/sheet.png" "$work/page826.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
echo "difference from the sheet sent (RMSE): $rmse"
[ -n "$rmse" ] && below "$rmse" 0.05 || fail "the printed page is not the sheet ($rmse)"
echo "print job PDF ok"
