// The PREVIEW tab: the entry in focus fitted into the page, first from its thumbnail source,
// a tick later from its view image or a preview loaded for this paint.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include "core/preview_loader.h"
#include "core/semaphore_lock.h"
#include "core/pane_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/jpeg_scaled.h"
#include "core/list_helpers.h"
#include "core/main_window_state.h"
#include "core/settings.h"
#include "metadata/metadata_hooks.h"
#include "metadata/file_info_window.h"

int32_t PreviewPaintStep = 0;
int32_t PreviewDelayTicks = 0;

namespace {
constexpr UINT_PTR kPreviewTabTimer = 32760;
int32_t g_lastPaintedRow = -1;
// A paint that found the picture lock busy drew nothing: the timer paints again even at step 2.
bool g_paintPostponed = false;
// The entry whose picture the page shows, by list generation and entry number (an address can
// come back for another folder's file); number -1 when the page shows only the background.
struct ShownEntry {
  uint32_t generation = 0;
  int32_t number = -1;
  bool operator==(const ShownEntry& o) const { return generation == o.generation && number == o.number; }
};
ShownEntry g_shownEntry;

// Holds a semaphore only when it can be had at once: the UI thread never waits on a worker here.
class TryLock {
 public:
  explicit TryLock(SemaphoreId id) : handle_(g_semaphores[id]) {
    if (handle_) held_ = WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
  }
  ~TryLock() {
    if (handle_ && held_) ReleaseSemaphore(handle_, 1, nullptr);
  }
  // A process without the semaphores (a test) draws unlocked.
  bool ok() const { return !handle_ || held_; }

 private:
  HANDLE handle_;
  bool held_ = false;
};

int32_t FirstSelectedRow() {
  HWND list = GetListControl();
  return list ? static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

void Clear(Gdiplus::Graphics& g, const RECT& rc, COLORREF colour) {
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  g.FillRectangle(&brush, 0, 0, rc.right, rc.bottom);
  g_shownEntry = ShownEntry();
}

// The lock is busy: the page keeps a picture of this entry, and shows no other entry's (the
// background is not erased, so it would stay) until the next tick paints.
void Postpone(Gdiplus::Graphics& g, const RECT& rc, COLORREF colour, const ShownEntry& e) {
  g_paintPostponed = true;
  if (!(g_shownEntry == e)) Clear(g, rc, colour);
}

// The picture fitted into the page, centred; the strips around it in the background colour.
void Draw(Gdiplus::Graphics& g, Gdiplus::Image* image, const RECT& rc, COLORREF colour) {
  const int W = rc.right, H = rc.bottom;
  const UINT iw = image->GetWidth(), ih = image->GetHeight();
  if (iw == 0 || ih == 0 || W <= 0 || H <= 0) {
    Clear(g, rc, colour);
    return;
  }
  int w = W, h = static_cast<int>(static_cast<int64_t>(ih) * W / iw);
  if (h > H) {
    h = H;
    w = static_cast<int>(static_cast<int64_t>(iw) * H / ih);
  }
  const int x = (W - w) / 2, y = (H - h) / 2;
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  // The bars cover the whole remaining strips, odd pixels included.
  if (x > 0) {
    g.FillRectangle(&brush, 0, 0, x, H);
    g.FillRectangle(&brush, x + w, 0, W - x - w, H);
  }
  if (y > 0) {
    g.FillRectangle(&brush, 0, 0, W, y);
    g.FillRectangle(&brush, 0, y + h, W, H - y - h);
  }
  g.DrawImage(image, Gdiplus::Rect(x, y, w, h), 0, 0, static_cast<int>(iw), static_cast<int>(ih), Gdiplus::UnitPixel);
}

void DrawEntry(Gdiplus::Graphics& g, Gdiplus::Image* image, const RECT& rc, COLORREF colour, const ShownEntry& e) {
  Draw(g, image, rc, colour);
  g_shownEntry = e;
}

void PaintPreview(HWND page, HDC dc) {
  RECT rc;
  GetClientRect(page, &rc);
  const COLORREF colour = g_settings.colorSlots[19];
  Gdiplus::Graphics g(dc);
  SemaphoreLock thumbLock(kSemaThumbInfo);
  g_paintPostponed = false;
  if (g_listCount <= 0) return Clear(g, rc, colour);
  const int32_t row = g_metadataHooks.isListFocused() ? FirstSelectedRow() : GetPaneOrderNumber(g_focusedPane);
  if (row < 0 || row >= g_listCount) {
    PreviewPaintStep = 2;
    return Clear(g, rc, colour);
  }
  if (row != g_lastPaintedRow) PreviewPaintStep = 0;
  g_lastPaintedRow = row;
  ImageEntry* e = EntryAtRow(row);
  if (!e || e->presence == 0) {
    PreviewPaintStep = 2;
    return Clear(g, rc, colour);
  }
  const ShownEntry shown{g_entryGeneration.load(), g_displayOrder[row]};
  if (PreviewPaintStep >= 1) {
    // The entry's view image is shared with the viewer threads, which free it under "sema".
    {
      TryLock imageLock(kSemaImage);
      if (!imageLock.ok()) return Postpone(g, rc, colour, shown);  // the next tick paints
      if (Gdiplus::Image* view = e->levelImages[kLevelView]) {
        PreviewPaintStep = 2;
        return DrawEntry(g, view, rc, colour, shown);
      }
    }
    Gdiplus::Image* own = nullptr;
    HGLOBAL block = nullptr;
    if (LoadPreviewBitmap(&g, e, &own, &block, rc.right, rc.bottom, JpegNeed::kFitInside)) {
      PreviewPaintStep = 2;
      DrawEntry(g, own, rc, colour, shown);
      delete own;
      if (block) GlobalFree(block);
      return;
    }
    if (block) GlobalFree(block);
    PreviewPaintStep = 1;  // tried again next tick
  }
  TryLock imageLock(kSemaImage);
  if (!imageLock.ok()) return Postpone(g, rc, colour, shown);
  Gdiplus::Image* thumb = e->levelImages[kLevelThumbnail];
  if (!thumb) {
    PreviewPaintStep = 0;
    return Clear(g, rc, colour);
  }
  if (PreviewPaintStep == 0) PreviewPaintStep = 1;
  DrawEntry(g, thumb, rc, colour, shown);
}
}  // namespace

INT_PTR CALLBACK PreviewTabProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotInfoTabPreview] = page;
      PreviewPaintStep = 0;
      g_shownEntry = ShownEntry();
      SetTimer(page, kPreviewTabTimer, 250, nullptr);
      return TRUE;
    case WM_DESTROY:
      KillTimer(page, kPreviewTabTimer);
      if (g_windowSlots[kSlotInfoTabPreview] == page) g_windowSlots[kSlotInfoTabPreview] = nullptr;
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_SIZE:
      InvalidateRect(page, nullptr, FALSE);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) {
        InvalidateRect(page, nullptr, FALSE);
        return TRUE;
      }
      return FALSE;
    case WM_TIMER:
      if (wParam != kPreviewTabTimer) return FALSE;
      if (PreviewDelayTicks != 0) --PreviewDelayTicks;
      else if ((PreviewPaintStep != 2 || g_paintPostponed) && IsWindowVisible(page)) InvalidateRect(page, nullptr, FALSE);
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(page, &ps);
      PaintPreview(page, dc);
      EndPaint(page, &ps);
      return TRUE;
    }
  }
  return FALSE;
}
