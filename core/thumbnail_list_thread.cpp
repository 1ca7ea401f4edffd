// The worker that fills the file list: every row's metadata and thumbnails, from the current
// row outward, then idles until the list changes.
#include "core/thumbnail_list_thread.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <objbase.h>
#include <process.h>
#include <cstring>
#include <memory>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "core/list_pane_state.h"
#include "core/idle_requests.h"
#include "core/window_slots.h"
#include "core/preview_loader.h"
#include "core/movie_probe.h"
#include "core/app_globals.h"
#include "core/image_pipeline.h"
#include "core/folder_cache.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/image_lists.h"
#include "core/main_window_state.h"
#include "core/picture_words.h"
#include "core/pipeline_hooks.h"
#include "core/list_helpers.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/pure/folder_cache_format.h"
#include "core/pure/thumbnail_geometry.h"
#include "core/row_picture_store.h"
#include "core/row_workers.h"
#include "core/semaphore_lock.h"
#include "core/shut_down.h"
#include "core/settings.h"
#include "core/stage_clock.h"
#include "core/embedded_colour.h"
#include "core/thumbnail_decode.h"

uint8_t g_listPassComplete = 0;
uint8_t g_listBuilt = 0;
uint8_t g_listRowsShown = 0;
uint8_t g_listReadyFlag = 0;
volatile int32_t g_listNextRowRequest = -1;
volatile uint8_t g_listChanged = 0;
DWORD g_threadIdSink = 0;
const int kThreadPriorityTable[4] = {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                     THREAD_PRIORITY_TIME_CRITICAL};

namespace {
HANDLE g_listThread = nullptr;
volatile LONG g_workerState = 3;  // 0 running, 1 stop requested, 3 finished
LONG g_savedListStyle = 0;

constexpr int kMetadataChars = 8192;
constexpr uint16_t kFlagInfoRead = 0x2, kFlagFromCache = 0x4, kFlagRenderAgain = 0x8;
constexpr int kHistogramWidth = kHistogramPictureWidth, kHistogramHeight = kHistogramPictureHeight;

HWND ListControl() { return GetListControl(); }
HWND HeaderOf(HWND list) { return list ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr; }

// A box as the image list keeps it: 24-bit rows, top down, of the drawn box's premultiplied
// colours (what a replace by a GDI+ bitmap handle put there, the alpha dropped).
struct BoxPixels {
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;
};

// A box drawn into by a thread from row to row: a bitmap and its Graphics made for every box of
// every row cost more than drawing the box.
struct BoxCanvas {
  Gdiplus::PixelFormat format = PixelFormat32bppARGB;
  Gdiplus::Bitmap* bitmap = nullptr;
  Gdiplus::Graphics* graphics = nullptr;
  int width = 0, height = 0;
  void Free() {
    delete graphics;
    delete bitmap;
    graphics = nullptr;
    bitmap = nullptr;
    width = height = 0;
  }
  // Zeroed (transparent black, or black), as a new bitmap is; null when it cannot be had.
  Gdiplus::Graphics* Clean(int w, int h) {
    if (!bitmap || w != width || h != height) {
      Free();
      if (w <= 0 || h <= 0) return nullptr;
      bitmap = new Gdiplus::Bitmap(w, h, format);
      if (bitmap->GetLastStatus() == Gdiplus::Ok) graphics = new Gdiplus::Graphics(bitmap);
      if (!graphics || graphics->GetLastStatus() != Gdiplus::Ok) {
        Free();
        return nullptr;
      }
      width = w;
      height = h;
      return graphics;
    }
    // Zeroed through a lock of its own format: Graphics::Clear cost more than a new bitmap.
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, format, &data) == Gdiplus::Ok) {
      for (int y = 0; y < height; ++y)
        std::memset(static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, 0,
                    static_cast<size_t>(width) * (Gdiplus::GetPixelFormatSize(format) / 8));
      bitmap->UnlockBits(&data);
    } else {
      graphics->Clear(Gdiplus::Color(0, 0, 0, 0));
    }
    return graphics;
  }
};

// Nothing is freed by a thread's end (a destructor run from the thread-exit hook hung the
// program's exit): the threads that draw let go of theirs with ReleaseRowCanvases.
struct BoxCanvases {
  BoxCanvas large, small;
  BoxCanvas counted{PixelFormat24bppRGB};  // the reduction a histogram is counted from
};
thread_local BoxCanvases* t_canvases = nullptr;

BoxCanvases& Canvases() {
  if (!t_canvases) t_canvases = new BoxCanvases;
  return *t_canvases;
}

// The canvas's box as the image list keeps it.
bool TakeBoxPixels(BoxCanvas& canvas, BoxPixels* out) {
  StageClock clock(kClockImageList);
  const int width = canvas.width, height = canvas.height;
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (!canvas.bitmap ||
      canvas.bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
    return false;
  out->width = width;
  out->height = height;
  out->bytes.resize(static_cast<size_t>(width) * height * 3);
  uint8_t* to = out->bytes.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
    for (int x = 0; x < width; ++x, to += 3, from += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
  canvas.bitmap->UnlockBits(&data);
  return true;
}

// Draws the source into the canvas at the given size, proportioned or stretched, sharpens it and
// takes its pixels.
bool DrawBox(BoxCanvas& canvas, Gdiplus::Image* source, const ImageEntry* entry, int width, int height, bool fit,
             bool noSharpen, int amount, BoxPixels* out) {
  {
    StageClock clock(kClockBoxes);
    Gdiplus::Graphics* g = canvas.Clean(width, height);
    if (!g) return false;
    g->SetSmoothingMode(Gdiplus::SmoothingModeHighSpeed);
    g->SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    int pw = entry->info.width, ph = entry->info.height;
    if ((entry->userRotation + entry->exifRotation) & 1) std::swap(pw, ph);
    ThumbRect r = ComputeThumbnailRect(width, height, pw, ph, fit);
    g->DrawImage(source, Gdiplus::Rect(r.x, r.y, r.width, r.height));
  }
  if (amount != 0 && !noSharpen) {
    StageClock clock(kClockSharpen);
    g_pipelineHooks.sharpenBitmap(canvas.bitmap, 1, amount * 10);
  }
  return TakeBoxPixels(canvas, out);
}

// Writes the box straight into the image list's own bitmap when that is a 24-bit DIB section
// of the box's cell size, without a new bitmap, a device context and a blit for every image of
// every row. False when the list is of another kind.
bool WriteIntoImageList(HIMAGELIST list, int index, const BoxPixels& box) {
  IMAGEINFO info{};
  if (!list || !ImageList_GetImageInfo(list, index, &info) || !info.hbmImage || info.hbmMask) return false;
  DIBSECTION dib{};
  if (GetObjectW(info.hbmImage, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits || dib.dsBm.bmBitsPixel != 24 ||
      dib.dsBmih.biCompression != BI_RGB)
    return false;
  const int width = box.width, height = box.height;
  const RECT& r = info.rcImage;
  if (width <= 0 || height <= 0 || r.right - r.left != width || r.bottom - r.top != height || r.left < 0 || r.top < 0 ||
      r.right > dib.dsBm.bmWidth || r.bottom > dib.dsBm.bmHeight)
    return false;
  GdiFlush();  // no drawing into the list's bitmap may be pending
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  auto* bits = static_cast<uint8_t*>(dib.dsBm.bmBits);
  for (int y = 0; y < height; ++y) {
    const int row = bottomUp ? dib.dsBm.bmHeight - 1 - (r.top + y) : r.top + y;
    std::memcpy(bits + static_cast<ptrdiff_t>(row) * dib.dsBm.bmWidthBytes + static_cast<ptrdiff_t>(r.left) * 3,
                box.bytes.data() + static_cast<size_t>(y) * width * 3, static_cast<size_t>(width) * 3);
  }
  return true;
}

// The box into the list's image, straight or through a bitmap of its pixels.
void PutBox(HIMAGELIST list, int index, const BoxPixels& box) {
  StageClock clock(kClockImageList);
  if (box.width <= 0 || box.height <= 0 || WriteIntoImageList(list, index, box)) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = box.width;
  bi.bmiHeader.biHeight = -box.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    ReportResourceShortage();
    return;
  }
  const size_t stride = (static_cast<size_t>(box.width) * 3 + 3) & ~static_cast<size_t>(3);
  for (int y = 0; y < box.height; ++y)
    std::memcpy(static_cast<uint8_t*>(bits) + y * stride, box.bytes.data() + static_cast<size_t>(y) * box.width * 3,
                static_cast<size_t>(box.width) * 3);
  if (!list || !ImageList_Replace(list, index, bitmap, nullptr)) ReportResourceShortage();
  DeleteObject(bitmap);
}

// The 16 x 12 reduction of the source, counted into 96 bins.
void MeasureHistogram(Gdiplus::Image* source, uint8_t bins[96]) {
  BoxCanvas& canvas = Canvases().counted;
  Gdiplus::Graphics* g = canvas.Clean(16, 12);
  Gdiplus::Rect all(0, 0, 16, 12);
  Gdiplus::BitmapData data{};
  if (!g) {
    std::fill(bins, bins + 96, 0);
    return;
  }
  g->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
  g->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  g->DrawImage(source, Gdiplus::Rect(0, 0, 16, 12));
  if (canvas.bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
    std::fill(bins, bins + 96, 0);
    return;
  }
  ComputeSmallHistogram(static_cast<const uint8_t*>(data.Scan0), 16, 12, data.Stride, bins);
  canvas.bitmap->UnlockBits(&data);
}

bool DrawBackgroundAsCached(uint32_t argb, uint8_t out[3]);

// The histogram background as the cache file holds a pixel of it: through a 24-bit lock, which
// keeps no alpha.
bool BackgroundAsCached(uint8_t out[3]) {
  // Drawn once for each background setting, not for every row; the workers share it.
  static SRWLOCK lock = SRWLOCK_INIT;
  static uint32_t s_argb = 0;
  static uint8_t s_pixel[3];
  static bool s_known = false;
  const uint32_t argb = g_settings.histogramBackgroundArgb;
  AcquireSRWLockExclusive(&lock);
  bool ok = true;
  if (!s_known || s_argb != argb) {
    ok = DrawBackgroundAsCached(argb, s_pixel);
    s_argb = argb;
    s_known = ok;
  }
  if (ok) std::memcpy(out, s_pixel, 3);
  ReleaseSRWLockExclusive(&lock);
  return ok;
}

bool DrawBackgroundAsCached(uint32_t argb, uint8_t out[3]) {
  Gdiplus::Bitmap one(1, 1, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&one);
    g.Clear(Gdiplus::Color(argb));
  }
  Gdiplus::Rect all(0, 0, 1, 1);
  Gdiplus::BitmapData data{};
  if (one.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return false;
  std::memcpy(out, data.Scan0, 3);
  one.UnlockBits(&data);
  return true;
}

// Whether the cached histogram picture was drawn over the background now set: its first pixel
// tells.
bool DrawnOverTheBackgroundNowSet(const uint8_t* cached) {
  uint8_t background[3];
  return cached && BackgroundAsCached(background) && std::memcmp(cached, background, 3) == 0;
}

// The cached histogram picture of the entry, when it was drawn over the background now set; null
// otherwise.
Gdiplus::Bitmap* CachedHistogramPicture(const uint8_t* cached) {
  if (!DrawnOverTheBackgroundNowSet(cached)) return nullptr;
  static_assert(kHistogramWidth * 3 * kHistogramHeight == kCacheHistogramBytes, "the cache's histogram picture");
  return RowPictureOfBgr(cached, kHistogramWidth, kHistogramHeight);
}

void RedrawRow(HWND list, int row) {
  StageClock clock(kClockRedraw);
  if (list) SendMessageW(list, LVM_REDRAWITEMS, row, row);
}

// The rows the pass has filled since the list last redrew them. A message to the list for every
// row made the worker wait on the window's thread once per row, which under load cost more than
// the thumbnail; a few redraws a second show the same pictures. The workers add rows side by side.
SRWLOCK s_dirtyLock = SRWLOCK_INIT;
int s_dirtyFirst = -1, s_dirtyLast = -1;
DWORD s_lastRedraw = 0;

void FlushRedrawsLocked(HWND list) {
  StageClock clock(kClockRedraw);
  // Posted: the pass need not wait while the window's thread is busy; the list checks the range.
  if (s_dirtyFirst >= 0 && list) PostMessageW(list, LVM_REDRAWITEMS, s_dirtyFirst, s_dirtyLast);
  s_dirtyFirst = s_dirtyLast = -1;
  s_lastRedraw = GetTickCount();
}

void FlushRedraws(HWND list) {
  AcquireSRWLockExclusive(&s_dirtyLock);
  FlushRedrawsLocked(list);
  ReleaseSRWLockExclusive(&s_dirtyLock);
}

void ForgetRedraws() {
  AcquireSRWLockExclusive(&s_dirtyLock);
  s_dirtyFirst = s_dirtyLast = -1;
  s_lastRedraw = GetTickCount();
  ReleaseSRWLockExclusive(&s_dirtyLock);
}

void RedrawRowSoon(HWND list, int row) {
  AcquireSRWLockExclusive(&s_dirtyLock);
  if (s_dirtyFirst < 0 || row < s_dirtyFirst) s_dirtyFirst = row;
  if (row > s_dirtyLast) s_dirtyLast = row;
  if (GetTickCount() - s_lastRedraw >= 50) FlushRedrawsLocked(list);
  ReleaseSRWLockExclusive(&s_dirtyLock);
}

void ReadEntryInformation(ImageEntry* entry) {
  // Dumped straight into the thread's own buffer: no shared buffer, so no wait for "sema_interp"
  // (two of Wine's server calls a file).
  static thread_local wchar_t text[kMetadataChars];
  StageClock clock(kClockMetadata);
  g_pipelineHooks.dumpImageMetadataInto(EntryPath(entry), text, kMetadataChars);
  // A movie's frame size comes from the movie itself, before its size text is made; one that
  // cannot be rendered is marked as having no codec.
  if (entry->info.fileTypeFlag == kFileTypeMovie) {
    if (ReadMovieSizeAndDuration(entry)) ClearEntryFlags(entry, kEntryMovieNoCodec);
    else SetEntryFlags(entry, kEntryMovieNoCodec);
  }
  g_pipelineHooks.fillImageInfoFromText(entry->info, text, true);
  SetEntryFlags(entry, kFlagInfoRead);
}

// The count in the rebar, a few times a second (all anyone can read; the end of the pass shows the
// final count). Posted: a sent message waited for the window's thread, which paints the list
// meanwhile, and cost the pass more than the thumbnails.
void ShowProgressNowAndThen(HWND list) {
  static DWORD last = 0;
  const DWORD now = GetTickCount();
  if (now - last < 50) return;
  last = now;
  StageClock clock(kClockRedraw);
  if (list) PostMessageW(list, ShowProgressMessage, 0, 0);
}

bool RenderRowImages(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n);
bool RenderRowBesideOthers(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n);
void FinishCachedRows(const std::vector<int>& entries);

// The image lock kept over a run of rows from the cache file: under Wine every take of it is a
// round trip to the server, which cost more than the row. It is let go before anything that
// waits on another thread or takes another lock (a message sent to a window, a metadata read),
// and after a few milliseconds so that the viewer's threads get their turn.
class RowRunLock {
 public:
  ~RowRunLock() { Release(); }
  void Take() {
    if (held_) {
      if (GetTickCount() - since_ < kMaxHoldMs) return;
      Release();
    }
    StageClock waiting(kClockLocks);
    HANDLE sema = g_semaphores[kSemaImage];
    box_.emplace();  // a RAW failure box waits until the lock is let go
    if (sema && WaitForSingleObject(sema, INFINITE) == WAIT_OBJECT_0) handle_ = sema;
    held_ = true;
    since_ = GetTickCount();
  }
  void Release() {
    if (!held_) return;
    if (handle_) ReleaseSemaphore(handle_, 1, nullptr);
    handle_ = nullptr;
    held_ = false;
    box_.reset();
  }

 private:
  static constexpr DWORD kMaxHoldMs = 15;
  bool held_ = false;
  HANDLE handle_ = nullptr;
  DWORD since_ = 0;
  std::optional<RawFailureBoxHold> box_;
};

// The pass's rows that a worker has in hand (by entry number): the walk skips them, as the walks
// forward and backward meet.
std::vector<std::atomic<uint8_t>>* s_rowsInHand = nullptr;
// The pass's rows drawn from the cache's pixels (by entry number), whose entries are finished
// once every row shows.
std::vector<int>* s_rowsToFinish = nullptr;

void CountProcessedRow() { InterlockedIncrement(reinterpret_cast<volatile LONG*>(&g_listProcessedRows)); }

void HandOver(RowWorkers& workers, int n, std::function<void()> job) {
  std::vector<std::atomic<uint8_t>>* inHand = s_rowsInHand;
  if (inHand) (*inHand)[static_cast<size_t>(n)] = 1;
  workers.Run([inHand, n, job = std::move(job)] {
    job();
    if (inHand) (*inHand)[static_cast<size_t>(n)] = 0;
  });
}

// A row from the cache file is drawn here, under the run of the image lock: GDI+ under Wine
// draws one picture at a time, so the workers drawing such rows side by side only waited for each
// other and for the lock (measured: four workers took longer than this thread alone). A row read
// from its file goes to a worker.
void ProcessRow(HWND list, int row, RowWorkers& workers, RowRunLock& runLock) {
  if (row < 0 || row >= g_listCount) return;
  int n = g_displayOrder[row];
  ImageEntry* entry = EntryAt(n);
  if (!entry) return;
  if (s_rowsInHand && (n >= static_cast<int>(s_rowsInHand->size()) || (*s_rowsInHand)[static_cast<size_t>(n)])) return;
  if ((entry->flags & (kFlagRenderAgain | kFlagInfoRead)) != kFlagInfoRead || entry->cacheIndex == -1 ||
      !(entry->flags & kFlagFromCache))
    runLock.Release();  // a worker may be waiting for the lock, and this thread for a worker
  if (entry->flags & kFlagRenderAgain) {
    ReleaseEntryLevel(entry, 0, 2);
    RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, entry, n);
    RedrawRow(list, row);
    ClearEntryFlags(entry, kFlagRenderAgain);
    g_redrawFlag = 1;
  } else if (entry->flags & kFlagInfoRead) {
    if (entry->cacheIndex != -1 && (entry->flags & kFlagFromCache)) {
      CountProcessedRow();
      ClearEntryFlags(entry, kFlagFromCache);
      runLock.Take();
      if (DrawCachedRow(g_smallThumbnailList, g_largeThumbnailList, entry, n)) s_rowsToFinish->push_back(n);
      else RenderRowImages(g_smallThumbnailList, g_largeThumbnailList, entry, n);
      RedrawRowSoon(list, row);  // posted, no wait
      ShowProgressNowAndThen(list);
    }
  } else {
    CountProcessedRow();
    g_cacheDirty |= 2;
    HandOver(workers, n, [list, row, entry, n] {
      ReadEntryInformation(entry);
      RenderRowBesideOthers(g_smallThumbnailList, g_largeThumbnailList, entry, n);
      RedrawRowSoon(list, row);
      ShowProgressNowAndThen(list);
    });
  }
}

bool StopAsked() { return g_workerState == 1; }

void PrepareList(HWND list) {
  StageClock clock(kClockListRows);
  g_listPassComplete = 0;
  g_listReadyFlag = 0;
  g_listNextRowRequest = -1;
  if (!list) return;
  g_pipelineHooks.clearHeaderSortMarks(list);
  if (HWND header = HeaderOf(list)) SetWindowLongW(header, GWL_STYLE, WS_CHILD | WS_DISABLED);
  g_savedListStyle = GetWindowLongW(list, GWL_STYLE);
  // The owner-data style cannot change after creation, so it stays.
  SetWindowLongW(list, GWL_STYLE, WS_CHILD | LVS_REPORT | (g_savedListStyle & LVS_OWNERDATA));
  clock.Stop();
  StageClock lists(kClockImageLists);
  g_pipelineHooks.createThumbnailImageLists();
  lists.Stop();
  StageClock rows(kClockListRows);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_largeThumbnailList));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_smallThumbnailList));
  // The sort arrows of the header and the check marks of the rows.
  if (HWND header = HeaderOf(list)) SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_listThreadIcons));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(g_listThreadMarks));
  if (g_reportViewFlag) SetWindowLongW(list, GWL_STYLE, g_savedListStyle);
  g_pipelineHooks.fillThumbnailList(list, g_entryCount);
  if (!g_reportViewFlag) SetWindowLongW(list, GWL_STYLE, g_savedListStyle);
  if (g_viewMode == 3 || (g_viewMode & 2)) {
    if (g_viewMode == 3) g_listThreadAskedSwitch = 1;
    g_viewMode = 1;
    ToggleListViewerMode(0);
  }
  g_listBuilt = 1;
}

void EndPass(HWND list) {
  if (g_viewMode != 2 && list) {
    HWND header = HeaderOf(list);
    if (header) {
      SetWindowPos(header, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
      if (g_reportViewFlag) {
        SetWindowLongW(header, GWL_STYLE, g_listHeaderStyle);
        EnableWindow(header, TRUE);
        ShowWindow(header, SW_SHOWNOACTIVATE);
      } else {
        ShowWindow(header, SW_HIDE);
      }
    }
  }
  RefreshIndexPrintDialog();
  ShowProgressCount();
  g_listPassComplete = 1;
  g_listBuilt = 1;
  g_listReadyFlag = 1;
}

void WalkRows(HWND list, bool alternating, RowWorkers& workers) {
  for (;;) {
    if (StopAsked()) return;
    int count = g_listCount;
    if (count <= 0) return;
    // Taken in one step: a request the prefetch makes between a read and a reset would be lost.
    int start = InterlockedExchange(reinterpret_cast<volatile LONG*>(&g_listNextRowRequest), -1);
    if (start < 0) start = g_cursorRow < 0 ? 0 : g_cursorRow;
    if (start >= count) start = 0;
    int forward = start, backward = start - 1 < 0 ? count - 1 : start - 1;
    int watchedRow = g_cursorRow;
    bool restart = false;
    RowRunLock runLock;
    for (int step = 0; step <= count && !restart; ++step) {
      ProcessRow(list, forward, workers, runLock);
      forward = forward + 1 >= count ? 0 : forward + 1;
      if (step % 32 == 0 && g_windowSlots[kSlotIndexPrint]) {
        runLock.Release();
        RefreshIndexPrintDialog();
      }
      if (alternating) {
        ProcessRow(list, backward, workers, runLock);
        backward = backward - 1 < 0 ? count - 1 : backward - 1;
      }
      if (StopAsked()) return;
      if (g_cursorRow != watchedRow || g_listNextRowRequest >= 0) restart = true;
    }
    if (!restart) return;
    alternating = true;
  }
}

// One walk over the list from the start row; alternating also walks backward. A move of the
// current row or a new next-row request restarts the walk from there, alternating. Every row
// handed to a worker is done when this returns.
void RunPass(HWND list, bool alternating, RowWorkers& workers) {
  std::vector<std::atomic<uint8_t>> inHand(static_cast<size_t>(g_entryCount > 0 ? g_entryCount : 0));
  std::vector<int> toFinish;
  s_rowsInHand = &inHand;
  s_rowsToFinish = &toFinish;
  g_listRowsShown = 0;
  ForgetRedraws();
  WalkRows(list, alternating, workers);
  workers.Drain();
  s_rowsInHand = nullptr;
  s_rowsToFinish = nullptr;
  FlushRedraws(list);
  if (!StopAsked()) g_listRowsShown = 1;
  FinishCachedRows(toFinish);
}

void BeginRowWorker() { CoInitialize(nullptr); }

void EndRowWorker() {
  ReleaseThumbnailDecoder();
  ReleaseKeptColourTransform();
  ReleaseRowCanvases();
  CoUninitialize();
}

// Passes over the list, and again when it or the folder changes, until a stop is asked.
void ServeList(HWND list, bool alternating) {
  // The workers live as long as the program: ending them with every list thread (at each folder
  // change) took the keyboard focus from the window under Wine.
  static RowWorkers* shared = new RowWorkers(ListRowWorkerCount(), BeginRowWorker, EndRowWorker);
  RowWorkers& workers = *shared;
  for (;;) {
    if (!StopAsked()) {
      g_infoLineEntry = -2;
      RunPass(list, alternating, workers);
      if (!StopAsked()) EndPass(list);
      // Again once the pass has read the metadata: a line built while it ran may lack it.
      g_infoLineEntry = -2;
    }
    alternating = false;
    bool folderChanged = false;
    while (!StopAsked() && !g_listChanged && !folderChanged) {
      if (ProcessFolderChanges()) {
        ArmFolderWatch();
        folderChanged = true;
      } else {
        Sleep(1);
      }
    }
    if (StopAsked()) return;
    if (!folderChanged) g_listChanged = 0;
  }
}

unsigned __stdcall ThumbnailListThreadProc(void*) {
  // The state was set to running before the thread was created: setting it here again could
  // swallow a stop asked before this thread got its first time slice.
  ShownEntry = -3;
  HWND list = ListControl();
  HRESULT com = CoInitialize(nullptr);
  PrepareList(list);
  const bool alternating = g_cursorRow > 0;
  ArmFolderWatch();
  ServeList(list, alternating);
  g_pipelineHooks.freeThumbnailImageLists();
  ReleaseThumbnailDecoder();
  ReleaseKeptColourTransform();
  ReleaseRowCanvases();
  if (SUCCEEDED(com)) CoUninitialize();
  g_workerState = 3;
  return 0;
}
}  // namespace

bool RenderEntryThumbnail(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n) {
  RawFailureBoxHold boxAfterUnlock;  // the preview may develop a RAW file under the lock
  // Built and drawn under one hold of the lock, so no other thread frees level 0 in between.
  StageClock waiting(kClockLocks);
  SemaphoreLock lock(kSemaImage);
  waiting.Stop();
  return RenderRowImages(smallList, largeList, entry, n);
}

void ReleaseRowCanvases() {
  if (!t_canvases) return;
  t_canvases->large.Free();
  t_canvases->small.Free();
  t_canvases->counted.Free();
  delete t_canvases;
  t_canvases = nullptr;
}

namespace {
// A row's three pictures in the lists, drawn before they are put there.
struct RowPictures {
  BoxPixels large, small, histogramBox;
  std::unique_ptr<Gdiplus::Bitmap> histogramPicture;  // becomes the entry's
  // Counts taken from the source, which reach the entry's information only under the lock.
  bool counted = false;
  uint8_t bins[96] = {};
};

// The histogram picture's words, drawn by the program: a GDI+ drawing of its columns took longer
// than the rest of a row under Wine.
void HistogramWords(const uint8_t bins[96], SourceWords* out) {
  out->width = kHistogramWidth;
  out->height = kHistogramHeight;
  out->words.resize(kHistogramWidth * kHistogramHeight);
  DrawHistogramWords(bins, g_settings.histogramBackgroundArgb, out->words.data());
}

Gdiplus::Bitmap* DrawHistogramPicture(const uint8_t bins[96]) {
  SourceWords words;
  HistogramWords(bins, &words);
  return RowPictureOfWords(words.words.data(), words.width, words.height);
}

// A box drawn from the source's words by the program's own scaler, the pixels GDI+ drew (see
// ScaleIntoBox): a GDI+ bitmap, its drawing and its reads cost most of a row from the cache.
bool DrawBoxFromWords(const SourceWords& source, int width, int height, ThumbRect r, bool sharpen, int amount,
                      BoxPixels* out) {
  StageClock clock(kClockBoxes);
  if (width <= 0 || height <= 0) return false;
  static thread_local std::vector<uint32_t> box;
  box.resize(static_cast<size_t>(width) * height);
  ScaleIntoBox(source.words.data(), source.width, source.height, box.data(), width, height, r);
  out->width = width;
  out->height = height;
  out->bytes.resize(static_cast<size_t>(width) * height * 3);
  // A sharpened box went through a 24-bit read, which drops the alpha, and came back opaque.
  BoxToBgr(box.data(), width * height, !sharpen, out->bytes.data());
  clock.Stop();
  if (sharpen) {
    StageClock sharpening(kClockSharpen);
    g_pipelineHooks.sharpenPixels24(out->bytes.data(), width, height, width * 3, 1, amount * 10);
  }
  return true;
}

ThumbRect BoxRect(const ImageEntry* entry, int width, int height, bool fit) {
  int pw = entry->info.width, ph = entry->info.height;
  if ((entry->userRotation + entry->exifRotation) & 1) std::swap(pw, ph);
  return ComputeThumbnailRect(width, height, pw, ph, fit);
}

// The row's two thumbnail boxes from its picture's words.
void DrawThumbnailBoxes(const SourceWords& words, const ImageEntry* entry, RowPictures* out) {
  const SettingsBlock& s = g_settings;
  DrawBoxFromWords(words, s.thumbWidth, s.thumbHeight, BoxRect(entry, s.thumbWidth, s.thumbHeight, s.fitViewThumbs == 1),
                   s.noSharpenViewThumbs == 0 && s.viewThumbSharpness != 0, s.viewThumbSharpness, &out->large);
  DrawBoxFromWords(words, s.listThumbWidth, s.listThumbHeight,
                   BoxRect(entry, s.listThumbWidth, s.listThumbHeight, s.fitListThumbs == 1),
                   s.noSharpenListThumbs == 0 && s.listThumbSharpness != 0, s.listThumbSharpness, &out->small);
}

// The counts of a row that its cache record did not bring, from its source.
void CountRowHistogram(Gdiplus::Image* source, const ImageEntry* entry, RowPictures* out) {
  StageClock clock(kClockHistogram);
  if (LoadedCacheHistogram(entry->cacheIndex) || (entry->flags & kFlagRenderAgain)) return;
  MeasureHistogram(source, out->bins);
  out->counted = true;
}

// The histogram picture and its box, from the cache or the counts.
void DrawRowHistogram(const ImageEntry* entry, RowPictures* out) {
  StageClock clock(kClockHistogram);
  static thread_local SourceWords words;
  const uint8_t* cachedHistogram = LoadedCacheHistogram(entry->cacheIndex);
  Gdiplus::Bitmap* picture = CachedHistogramPicture(cachedHistogram);
  if (picture) {
    WordsFromBgr(cachedHistogram, kHistogramWidth, kHistogramHeight, &words);
  } else {
    HistogramWords(out->counted ? out->bins : entry->info.histogram, &words);
    picture = RowPictureOfWords(words.words.data(), words.width, words.height);
  }
  out->histogramPicture.reset(picture);
  const ThumbRect whole{0, 0, g_settings.listThumbWidth, g_settings.listThumbHeight};
  DrawBoxFromWords(words, whole.width, whole.height, whole, false, 0, &out->histogramBox);
}

// Draws the boxes and the histogram from the source; reads the entry and writes nothing into it
// (its counts go to out).
void DrawRowPictures(Gdiplus::Image* source, const ImageEntry* entry, RowPictures* out) {
  const SettingsBlock& s = g_settings;
  BoxCanvases& canvases = Canvases();
  static thread_local SourceWords words;
  if (ReadSourceWords(source, &words)) {
    DrawThumbnailBoxes(words, entry, out);
  } else {
    DrawBox(canvases.large, source, entry, s.thumbWidth, s.thumbHeight, s.fitViewThumbs == 1,
            s.noSharpenViewThumbs != 0, s.viewThumbSharpness, &out->large);
    DrawBox(canvases.small, source, entry, s.listThumbWidth, s.listThumbHeight, s.fitListThumbs == 1,
            s.noSharpenListThumbs != 0, s.listThumbSharpness, &out->small);
  }
  CountRowHistogram(source, entry, out);
  DrawRowHistogram(entry, out);
  // A preview drawn from (high-resolution thumbnails) is not held on to between rows.
  if (words.words.capacity() > (1u << 16)) std::vector<uint32_t>().swap(words.words);
}

// Under the image lock: the row's three boxes into the lists.
void PutRowBoxes(HIMAGELIST smallList, HIMAGELIST largeList, int n, const RowPictures& p) {
  PutBox(largeList, n, p.large);
  PutBox(smallList, 2 * n, p.small);
  PutBox(smallList, 2 * n + 1, p.histogramBox);
}

// The same, and the histogram picture and counts to the entry.
void PutRowPictures(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n, RowPictures* p) {
  PutRowBoxes(smallList, largeList, n, *p);
  if (p->counted) std::memcpy(entry->info.histogram, p->bins, sizeof p->bins);
  delete entry->histogramPicture;
  entry->histogramPicture = p->histogramPicture.release();
}

// Level 0 and the histogram picture of the rows drawn from the cache's pixels, made once every
// row shows. A stop leaves the unfinished ones marked as from the cache, for the next pass.
void FinishCachedRows(const std::vector<int>& entries) {
  RowRunLock runLock;
  for (int n : entries) {
    ImageEntry* entry = n < g_entryCount ? EntryAt(n) : nullptr;
    if (!entry) continue;
    if (StopAsked()) {
      if (!entry->levelImages[kLevelThumbnail] || !entry->histogramPicture) SetEntryFlags(entry, kFlagFromCache);
      continue;
    }
    runLock.Take();
    FinishCachedRow(entry);
  }
}

bool RenderRowImages(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n) {
  if (!BuildThumbnailUnderLock(entry) || !entry->levelImages[0]) return false;
  Gdiplus::Image* source = entry->levelImages[0];
  Gdiplus::Image* preview = nullptr;
  HGLOBAL previewBlock = nullptr;
  if (g_settings.highResolutionThumbs) {
    if (!LoadPreviewBitmap(nullptr, entry, &preview, &previewBlock)) {
      // Level 0 stands, so the entry is sound: the row keeps the pictures it has.
      if (previewBlock) FreeGlobal(previewBlock);
      return true;
    }
    source = preview;
  }
  RowPictures pictures;
  DrawRowPictures(source, entry, &pictures);
  delete preview;
  if (previewBlock) FreeGlobal(previewBlock);
  PutRowPictures(smallList, largeList, entry, n, &pictures);
  return true;
}

// The same for a worker beside others: the 88 x 60 picture is made and the boxes are drawn (most
// of a row's time) outside the image lock, from the worker's own copy, so that the workers do
// them at once; the lock is held only to put them in place.
bool RenderRowBesideOthers(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n) {
  if (g_settings.highResolutionThumbs) return RenderEntryThumbnail(smallList, largeList, entry, n);
  PictureSizes sizes;
  std::unique_ptr<Gdiplus::Bitmap> made(MakeThumbnailAside(entry, &sizes));
  static thread_local SourceWords words;
  std::unique_ptr<Gdiplus::Image> source;  // a copy of a level 0 the scaler does not read
  RowPictures pictures;
  {
    RawFailureBoxHold boxAfterUnlock;  // a RAW file without a thumbnail is developed under the lock
    StageClock waiting(kClockLocks);
    SemaphoreLock lock(kSemaImage);
    waiting.Stop();
    PutThumbnailMadeAside(entry, made.release(), sizes);
    if (!BuildThumbnailUnderLock(entry) || !entry->levelImages[0]) return false;
    // Its pixels read and its counts taken here rather than from a copy: every bitmap made costs
    // a display device context under Wine.
    if (ReadSourceWords(entry->levelImages[0], &words)) {
      CountRowHistogram(entry->levelImages[0], entry, &pictures);
    } else {
      source.reset(entry->levelImages[0]->Clone());
      if (!source || source->GetLastStatus() != Gdiplus::Ok) return RenderRowImages(smallList, largeList, entry, n);
    }
  }
  if (source) {
    DrawRowPictures(source.get(), entry, &pictures);
  } else {
    DrawThumbnailBoxes(words, entry, &pictures);
    DrawRowHistogram(entry, &pictures);
  }
  StageClock waiting(kClockLocks);
  SemaphoreLock lock(kSemaImage);
  waiting.Stop();
  PutRowPictures(smallList, largeList, entry, n, &pictures);
  return true;
}
}  // namespace

// The cache's pixels are the level-0 picture the full road would make from them (turned the
// same), so the boxes come out the same; the two GDI+ bitmaps that road makes first cost a
// display device context each under Wine, more than the rest of the row.
bool DrawCachedRow(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n) {
  if (!entry || g_settings.highResolutionThumbs || entry->levelImages[kLevelThumbnail]) return false;
  const uint8_t* pixels = LoadedCacheThumbnail(entry->cacheIndex);
  const uint8_t* histogram = LoadedCacheHistogram(entry->cacheIndex);
  if (!pixels || !histogram) return false;  // a row without its stored histogram is counted on the full road
  static thread_local SourceWords stored, turned;
  RowPictures pictures;
  {
    StageClock clock(kClockLevel0);
    const int turns = SetThumbnailTurns(entry);
    WordsFromBgr(pixels, kThumbWidth, kThumbHeight, &stored);
    turned.width = turns & 1 ? kThumbHeight : kThumbWidth;
    turned.height = turns & 1 ? kThumbWidth : kThumbHeight;
    turned.words.resize(stored.words.size());
    TurnWords(stored.words.data(), kThumbWidth, kThumbHeight, turns, turned.words.data());
  }
  DrawThumbnailBoxes(turned, entry, &pictures);
  {
    StageClock clock(kClockHistogram);
    if (DrawnOverTheBackgroundNowSet(histogram)) WordsFromBgr(histogram, kHistogramWidth, kHistogramHeight, &stored);
    else HistogramWords(entry->info.histogram, &stored);
    const ThumbRect whole{0, 0, g_settings.listThumbWidth, g_settings.listThumbHeight};
    DrawBoxFromWords(stored, whole.width, whole.height, whole, false, 0, &pictures.histogramBox);
  }
  PutRowBoxes(smallList, largeList, n, pictures);
  return true;
}

void FinishCachedRow(ImageEntry* entry) {
  if (!entry) return;
  BuildThumbnailUnderLock(entry);
  if (entry->histogramPicture) return;
  StageClock clock(kClockHistogram);
  Gdiplus::Bitmap* picture = CachedHistogramPicture(LoadedCacheHistogram(entry->cacheIndex));
  entry->histogramPicture = picture ? picture : DrawHistogramPicture(entry->info.histogram);
}

void RefreshIndexPrintDialog() {
  if (HWND dialog = g_windowSlots[kSlotIndexPrint]) SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
}

void StartThumbnailListThread() {
  if (g_listThread) return;
  g_workerState = 0;
  g_listThreadStopRequest = 0;
  // Not ready from now on, not only once the new worker first runs: until then a caller waiting for
  // the list saw the previous pass's flags and read a list that was not filled yet.
  g_listReadyFlag = 0;
  g_listPassComplete = 0;
  g_listRowsShown = 0;
  unsigned id = 0;
  g_listThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThumbnailListThreadProc, nullptr, 0, &id));
  if (!g_listThread) {
    g_workerState = 3;
    return;
  }
  g_threadIdSink = id;
  // The ten milliseconds given to the new thread answer what it sends meanwhile: its first
  // messages to the list waited out a plain sleep.
  PumpMessages(0);
  WaitAnsweringSentMessages(10);
  int performance = g_settings.performance;
  SetThreadPriority(g_listThread, kThreadPriorityTable[(performance >= 0 && performance < 4) ? performance : 3]);
}

void StopThumbnailListThread() {
  if (!g_listThread) return;
  if (g_workerState != 3) {
    RequestWorkerStop(&g_workerState);
    g_listThreadStopRequest = 1;
    // The worker talks to the list with SendMessageW: keep answering while it winds down. The
    // wait ends as soon as the worker sends or ends, not after a fixed sleep. At shut-down a
    // worker that does not end in time is left running with its handle.
    const DWORD start = GetTickCount();
    while (g_workerState != 3) {
      PumpMessages(0);
      if (g_workerState == 3) break;
      if (GiveUpWaitingFor(start)) {
        g_listThread = nullptr;
        return;
      }
      MsgWaitForMultipleObjects(1, &g_listThread, FALSE, 10, QS_SENDMESSAGE);
    }
  }
  Sleep(1);
  CloseHandle(g_listThread);
  g_listThread = nullptr;
  g_listThreadStopRequest = 0;
}

bool ListThreadStopRequested() { return g_workerState == 1; }

void RestoreListHeader() {
  HWND header = HeaderOf(ListControl());
  if (!header || !g_reportViewFlag) return;
  SetWindowLongW(header, GWL_STYLE, g_listHeaderStyle);
  EnableWindow(header, TRUE);
  ShowWindow(header, SW_SHOWNOACTIVATE);
}
