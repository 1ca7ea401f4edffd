#include "printing/print_job.h"

#include <commdlg.h>
#include <gdiplus.h>
#include <icm.h>

#include "core/app_globals.h"
#include "core/colour_profiles.h"
#include "core/settings.h"
#include "printing/index_print_preview.h"
#include "printing/pure/index_page.h"

namespace {
// The CMS_DISABLEICM bit of the colour-matching set-up.
constexpr uint32_t kDisableIcm = 0x1;
}  // namespace

void RenderPrintPage(HDC printer, int) {
  Gdiplus::Image image(g_printTargetPath, FALSE);
  if (image.GetLastStatus() != Gdiplus::Ok) return;
  // The resolution the page file was composed at, so that it keeps its paper size.
  const int dpi = IndexPrintDpi(g_settings.indexPrint);
  const int horzRes = GetDeviceCaps(printer, HORZRES), vertRes = GetDeviceCaps(printer, VERTRES);
  if (horzRes <= 0 || vertRes <= 0) return;
  const double offX = static_cast<double>(GetDeviceCaps(printer, PHYSICALOFFSETX)) / horzRes;
  const double offY = static_cast<double>(GetDeviceCaps(printer, PHYSICALOFFSETY)) / vertRes;
  // Device pixels straight from the printer's resolution: the page keeps its paper size, less
  // the share of the physical offset, from the corner of the printable area.
  const double kx = static_cast<double>(GetDeviceCaps(printer, LOGPIXELSX)) / dpi;
  const double ky = static_cast<double>(GetDeviceCaps(printer, LOGPIXELSY)) / dpi;
  const INT w = static_cast<INT>(image.GetWidth()), h = static_cast<INT>(image.GetHeight());
  const INT width = static_cast<INT>((w - w * offX) * kx), height = static_cast<INT>((h - h * offY) * ky);
  Gdiplus::Graphics g(printer);
  g.SetPageUnit(Gdiplus::UnitPixel);
  g.DrawImage(&image, Gdiplus::Rect(0, 0, width, height), 0, 0, w, h, Gdiplus::UnitPixel);
}

const wchar_t* ApplyPrinterProfile(HDC printer) {
  // The path lives for the run only: after a restart the set-up's saved choice makes it again.
  if (!g_printerProfilePath[0]) BuildProfilePath(W(g_settings.colorPrinterProfile), g_printerProfilePath);
  if (g_printerProfilePath[0]) {
    SetICMProfileW(printer, g_printerProfilePath);
  } else {
    DWORD chars = kPathChars;
    if (!GetICMProfileW(printer, &chars, g_printerProfilePath)) g_printerProfilePath[0] = 0;
    g_printerProfilePath[kPathChars - 1] = 0;
  }
  return g_printerProfilePath;
}

int PrintImage(HWND, int paperCode, int orientation, int pageCount) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.Flags = PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC | PD_NOSELECTION;
  dialog.nMinPage = dialog.nFromPage = 1;
  dialog.nMaxPage = dialog.nToPage = static_cast<WORD>(pageCount);
  if (!PrintDlgW(&dialog) || !dialog.hDC) {
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    return 0;
  }
  HDC dc = dialog.hDC;
  if (dialog.hDevMode) {
    if (auto* mode = static_cast<DEVMODEW*>(GlobalLock(dialog.hDevMode))) {
      // The driver's own fields stay valid; ours are added to them.
      mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
      mode->dmPaperSize = static_cast<short>(paperCode);
      mode->dmOrientation = static_cast<short>(orientation);
      ResetDCW(dc, mode);
      GlobalUnlock(dialog.hDevMode);
    }
  }
  ApplyPrinterProfile(dc);
  if (!SetICMMode(dc, (g_settings.colorMatchSetup.flags & kDisableIcm) ? ICM_OFF : ICM_ON)) SetICMMode(dc, ICM_QUERY);
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = L"";
  if (StartDocW(dc, &doc) > 0) {
    for (int copy = 1; copy <= dialog.nCopies; ++copy) {
      for (int page = dialog.nFromPage; page <= dialog.nToPage; ++page) {
        StartPage(dc);
        RenderPrintPage(dc, page);
        EndPage(dc);
      }
    }
    EndDoc(dc);
  }
  const int result = DeleteDC(dc);
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  return result;
}
