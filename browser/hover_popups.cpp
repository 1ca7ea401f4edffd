#include "browser/hover_popups.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "browser/browse_panes.h"
#include "browser/file_list_pane.h"
#include "browser/main_commands.h"
#include "browser/main_window.h"
#include "browser/navigation_pane.h"
#include "core/preview_loader.h"
#include "browser/pure/list_command_rules.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/jpeg_scaled.h"
#include "core/list_helpers.h"
#include "core/memory.h"
#include "core/raw_develop.h"
#include "core/settings.h"

using namespace Gdiplus;

namespace {
struct HoverPopup {
  UINT_PTR timer;
  int alphaLimit, alphaStart, trigger;
  int shownEntry = -1, pendingEntry = -1;
  uint32_t generation = 0;  // of the list shownEntry numbers an entry of
  bool pendingFlag = false;
  POINT lastCursor = {-100000, -100000};
  int stillCount = 0, alpha = 0;
};
HoverPopup g_preview = {32763, 255, -64, 4};
HoverPopup g_histogram = {32762, 192, -32, 1};

bool AnyPopupMenuOpen() { return g_popupMenuOpen || g_navContextMenuOpen || g_toolPopupOpen; }

void Hide(HWND dialog, HoverPopup& p) {
  ShowWindow(dialog, SW_HIDE);
  p.shownEntry = -1;
}

// The entry under the cursor when it is on a thumbnail (and, for the histogram, on the
// histogram column); -1 otherwise.
int EntryUnderCursor(bool histogram) {
  HWND list = GetListControl();
  if (!list || !IsWindowVisible(list)) return -1;
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  if (WindowFromPoint(hit.pt) != list) return -1;
  ScreenToClient(list, &hit.pt);
  // In the detail style the thumbnail is column 0's image and the histogram column 1's. A row's
  // hit test calls the histogram cell the row's image too, so each popup answers to its own cell:
  // else the preview would cover the histogram.
  const int row = static_cast<int>(SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (hit.iSubItem != (histogram ? 1 : 0)) return -1;
  if (!(hit.flags & LVHT_ONITEMICON) || row < 0 || row >= g_listCount) return -1;
  return g_displayOrder[row];
}

void OnTimer(HWND dialog, HoverPopup& p, bool enabled, bool histogram) {
  if (AnyPopupMenuOpen()) return;
  // A new list numbers its entries anew: the picture shown is of the list before.
  if (p.generation != g_entryGeneration.load()) {
    p.generation = g_entryGeneration.load();
    Hide(dialog, p);
  }
  if (g_viewMode == 2 || !enabled || !IsMainWindowAloneInFront()) {
    Hide(dialog, p);
    return;
  }
  const int entry = EntryUnderCursor(histogram);
  if (entry < 0) {
    Hide(dialog, p);
  } else if (entry != p.shownEntry && !p.pendingFlag) {
    p.pendingEntry = entry;
    if (EntryAt(entry)->levelImages[kLevelThumbnail]) {
      p.pendingFlag = true;
      SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
    }
  }
  p.alpha = NextPopupAlpha(p.alpha, p.alphaLimit);
  SetLayeredWindowAttributes(dialog, 0, static_cast<BYTE>(p.alpha), LWA_ALPHA);
}

void ShowPreview(HWND dialog, ImageEntry* e, int left, int bottom) {
  Image* image = nullptr;
  HGLOBAL block = nullptr;
  // Drawn fitted into 256 x 256: a camera JPEG is decoded no larger.
  if (!LoadPreviewBitmap(nullptr, e, &image, &block, 256, 256, JpegNeed::kFitInside)) return;
  int w, h;
  FitInsideSquare(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()), 256, &w, &h);
  SetWindowPos(dialog, HWND_TOPMOST, left, bottom - h, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (HDC dc = GetDC(dialog)) {
    {
      Graphics g(dc);
      g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
      g.DrawImage(image, 0, 0, w, h);
    }
    ReleaseDC(dialog, dc);
  }
  delete image;
  FreeGlobal(block);
}

void ShowHistogram(HWND dialog, ImageEntry* e) {
  ShowWindow(dialog, SW_SHOWNA);
  bool drawn = false;
  if (HDC dc = GetDC(dialog)) {
    {
      Graphics g(dc);
      drawn = DrawPopupHistogram(&g, e, 1);
    }
    ReleaseDC(dialog, dc);
  }
  // A picture that cannot be decoded has no histogram: an empty popup would only hide the list.
  if (!drawn) ShowWindow(dialog, SW_HIDE);
}

void OnRefresh(HWND dialog, HoverPopup& p, bool histogram) {
  if (p.pendingEntry < 0 || p.pendingEntry >= g_entryCount || !EntryAt(p.pendingEntry)->presence) {
    ShowWindow(dialog, SW_HIDE);
    p.pendingFlag = false;
    return;
  }
  POINT c;
  GetCursorPos(&c);
  int left, bottom;
  if (histogram) {
    left = c.x;
    bottom = c.y - 66;
  } else {
    PreviewPopupCorner(c.x, c.y, GetSystemMetrics(SM_CXSCREEN), &left, &bottom);
  }
  if (c.x == p.lastCursor.x && c.y == p.lastCursor.y) {
    if (histogram)
      SetWindowPos(dialog, HWND_TOPMOST, left, bottom, 256, 64, SWP_NOACTIVATE);
    else
      SetWindowPos(dialog, HWND_TOPMOST, left, bottom, 0, 0, SWP_NOACTIVATE);
    ++p.stillCount;
  } else {
    p.alpha = p.alphaStart;
    ShowWindow(dialog, SW_HIDE);
    p.stillCount = 0;
    p.lastCursor = c;
  }
  if (p.stillCount == p.trigger) {
    ImageEntry* e = EntryAt(p.pendingEntry);
    histogram ? ShowHistogram(dialog, e) : ShowPreview(dialog, e, left, bottom);
    p.shownEntry = p.pendingEntry;
  }
  p.pendingFlag = false;
}

INT_PTR PopupProc(HWND dialog, UINT message, WPARAM wParam, HoverPopup& p, HWND& handle, bool histogram) {
  switch (message) {
    case WM_INITDIALOG:
      if (!handle) handle = dialog;
      SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) | WS_EX_LAYERED);
      SetLayeredWindowAttributes(dialog, 0, 0, LWA_ALPHA);
      ShowWindow(dialog, SW_HIDE);
      SetTimer(dialog, p.timer, 33, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wParam == p.timer)
        OnTimer(dialog, p, histogram ? g_settings.hoverPopupHistograms != 0 : g_settings.hoverPopupThumbs != 0, histogram);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) OnRefresh(dialog, p, histogram);
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_CLOSE:
      KillTimer(dialog, p.timer);
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, p.timer);
      p.shownEntry = -1;
      if (handle == dialog) handle = nullptr;
      return FALSE;
  }
  return FALSE;
}
}  // namespace

INT_PTR CALLBACK PreviewPopupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return PopupProc(dialog, message, wParam, g_preview, g_previewPopup, false);
}

INT_PTR CALLBACK HistogramPopupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return PopupProc(dialog, message, wParam, g_histogram, g_histogramPopup, true);
}

bool DrawPopupHistogram(Graphics* graphics, ImageEntry* entry, int) {
  if (!graphics || !entry) return false;
  HGLOBAL block = LoadPreviewSourceBlock(entry);
  if (!block) return false;
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, block, false)) || !holder.stream) {
    FreeGlobal(block);
    return false;
  }
  Image* picture = DecodePictureStream(holder.stream, false);
  static int32_t bins[3][256];
  bool counted = false;
  if (picture) {
    Bitmap* bitmap = static_cast<Bitmap*>(picture);
    const int w = static_cast<int>(picture->GetWidth()), h = static_cast<int>(picture->GetHeight());
    BitmapData data{};
    Rect all(0, 0, w, h);
    if (w > 0 && h > 0 && bitmap->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) == Ok) {
      CountPopupHistogram(static_cast<const uint8_t*>(data.Scan0), w, h, data.Stride, bins);
      bitmap->UnlockBits(&data);
      counted = true;
    }
    delete picture;
  }
  holder.stream->Release();
  FreeGlobal(block);
  if (!counted) return false;
  graphics->Clear(Color(0xFF000000u | (g_settings.histogramBackgroundArgb & 0xFFFFFFu)));
  SolidBrush red(Color(0xFFFF0000u)), green(Color(0x8000FF00u)), blue(Color(0x400000FFu));
  for (int x = 0; x < 256; ++x) {
    const int r = bins[0][x] > 64 ? 64 : bins[0][x], g = bins[1][x] > 64 ? 64 : bins[1][x],
              b = bins[2][x] > 64 ? 64 : bins[2][x];
    graphics->FillRectangle(&red, x, 64 - r, 1, 64);
    graphics->FillRectangle(&green, x, 64 - g, 1, 64);
    graphics->FillRectangle(&blue, x, 64 - b, 1, 64);
  }
  return true;
}
