# Sourced: brings up a CUPS printer that writes every job as a PDF into a folder, for the print
# job test. Best effort: when CUPS cannot be started (no root, no packages), nothing is exported
# and the test skips. Exports BRN_PDF_PRINTER (the queue) and BRN_PDF_DIR (where PDFs land).
brn_start_pdf_printer() {
  # One queue and one output folder per build tree: trees tested at once on one machine would
  # otherwise point the one queue at each other's folders.
  local tag; tag=$(printf '%s' "$BRN_BUILD" | md5sum | cut -c1-8)
  local queue="Brannomere_PDF_$tag" name="brannomere-$tag" conf="/etc/cups/cups-pdf-brannomere-$tag.conf"
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd dir="$BRN_BUILD/pdf-printer"
  unset BRN_PDF_PRINTER BRN_PDF_DIR
  if [ "$(id -u)" != 0 ] || ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null \
     || [ ! -x /usr/lib/cups/backend/cups-pdf ] || [ ! -f "$ppd" ] \
     || ! command -v pdfinfo >/dev/null || ! command -v pdftoppm >/dev/null; then
    echo "pdf printer: CUPS, cups-pdf or poppler-utils missing (or not root); the print job test will skip"
    return 0
  fi
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    mkdir -p /run/cups
    cupsd </dev/null >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.2; done
  fi
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "pdf printer: the CUPS scheduler did not start; the print job test will skip"
    return 0
  fi
  mkdir -p "$dir"
  # cups-pdf reads cups-pdf-NAME.conf for the device cups-pdf:/NAME: our own output folder,
  # leaving the system's default PDF printer as it is.
  printf 'Out %s\nAnonDirName %s\n' "$dir" "$dir" >"$conf" 2>/dev/null || return 0
  if ! lpadmin -p "$queue" -E -v "cups-pdf:/$name" -P "$ppd" >/dev/null 2>&1 \
     || ! lpstat -p "$queue" >/dev/null 2>&1; then
    echo "pdf printer: the queue could not be set up; the print job test will skip"
    return 0
  fi
  export BRN_PDF_PRINTER="$queue" BRN_PDF_DIR="$dir"
  echo "pdf printer: $queue writes to $dir"
}
