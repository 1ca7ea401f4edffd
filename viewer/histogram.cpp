#include "viewer/histogram.h"

#include <gdiplus.h>
#include <cstring>

#include "core/idle_requests.h"
#include "core/image_pipeline.h"
#include "core/raw_develop.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"

using namespace Gdiplus;

HistogramSlot g_histogramCache[kHistogramSlots];
volatile int32_t g_histogramBudget = 0;

namespace {

const ImageEntry* SlotEntry(const HistogramSlot& s) { return s.entry; }

void Bar(Graphics& g, SolidBrush& brush, int column, int baseline, int height) {
  if (height > 0) g.FillRectangle(&brush, column, baseline - height, 1, height);
}

void Frame(Graphics& g, int baseline) {
  SolidBrush grey(Color(0xFFC0C0C0));
  g.FillRectangle(&grey, 3, baseline - 64, 256, 1);
  g.FillRectangle(&grey, 3, baseline, 257, 1);
  g.FillRectangle(&grey, 3, baseline - 64, 1, 64);
  g.FillRectangle(&grey, 259, baseline - 64, 1, 65);
}

}  // namespace

Bitmap* DrawHistogramPicture(HistogramBins* c, int32_t mode, uint32_t background) {
  const int height = mode == 3 ? 204 : 70;
  Bitmap* picture = new Bitmap(262, height, PixelFormat32bppARGB);
  if (!picture || picture->GetLastStatus() != Ok) {
    delete picture;
    return nullptr;
  }
  Graphics g(picture);
  g.Clear(Color(background));
  if (mode == 3) {
    static const uint32_t kColours[3] = {0x80FF0000u, 0x8000FF00u, 0x800000FFu};
    for (int ch = 0; ch < 3; ++ch) {
      SolidBrush brush{Color(kColours[ch])};
      const int baseline = 67 * (ch + 1);
      for (int x = 0; x < 256; ++x) {
        c->bins[ch][x] = ClampHistogramBar(c->bins[ch][x]);
        Bar(g, brush, x + 3, baseline, c->bins[ch][x]);
      }
      Frame(g, baseline);
    }
  } else if (mode == 2) {
    SolidBrush white(Color(0x80FFFFFF));
    for (int x = 0; x < 256; ++x) {
      int32_t top = c->bins[0][x];
      if (c->bins[1][x] > top) top = c->bins[1][x];
      if (c->bins[2][x] > top) top = c->bins[2][x];
      Bar(g, white, x + 3, 67, ClampHistogramBar(top));
    }
    Frame(g, 67);
  } else {
    SolidBrush red(Color(0xFFFF0000)), green(Color(0x8000FF00)), blue(Color(0x400000FF));
    SolidBrush* brushes[3] = {&red, &green, &blue};
    for (int x = 0; x < 256; ++x)
      for (int ch = 0; ch < 3; ++ch) {
        c->bins[ch][x] = ClampHistogramBar(c->bins[ch][x]);
        Bar(g, *brushes[ch], x + 3, 67, c->bins[ch][x]);
      }
    Frame(g, 67);
  }
  return picture;
}

bool DrawOverlayHistogram(ImageEntry* entry, int32_t a, int32_t mode) {
  if (mode == 0 || !entry || !entry->levelImages[kLevelView] || a < 0 || a >= kHistogramSlots) return false;
  if (BringHistogramSlot<HistogramSlot, ImageEntry>(g_histogramCache, a, entry, SlotEntry)) return true;
  // One of the budget taken in one step: the interface thread refills it meanwhile.
  int32_t left = __atomic_load_n(&g_histogramBudget, __ATOMIC_SEQ_CST);
  do {
    if (left <= 0) return false;
  } while (!__atomic_compare_exchange_n(&g_histogramBudget, &left, left - 1, false, __ATOMIC_SEQ_CST,
                                        __ATOMIC_SEQ_CST));
  HistogramSlot& slot = g_histogramCache[a];
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, static_cast<HGLOBAL>(entry->levelBlocks[kLevelView]), false)) ||
      !holder.stream)
    return false;
  Bitmap* decoded = new Bitmap(holder.stream, FALSE);
  std::memset(&slot.counts, 0, sizeof slot.counts);
  if (decoded && decoded->GetLastStatus() == Ok) {
    const int w = static_cast<int>(decoded->GetWidth()), h = static_cast<int>(decoded->GetHeight());
    Rect all(0, 0, w, h);
    BitmapData data;
    if (w > 0 && h > 0 && decoded->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) == Ok) {
      // Rows are read by their stride: a width that is not a multiple of 4 has padded rows.
      if (data.Stride > 0)
        CountHistogramBins(static_cast<const uint8_t*>(data.Scan0), data.Stride, w, h, &slot.counts);
      decoded->UnlockBits(&data);
    }
  }
  delete decoded;
  holder.stream->Release();
  slot.entry = entry;
  delete slot.picture;
  slot.picture = DrawHistogramPicture(&slot.counts, mode, g_settings.histogramBackgroundArgb);
  return true;
}

void ClearHistogramCache() {
  // The render thread draws the slots' pictures holding "sema": none is freed under its feet.
  SemaphoreLock sema(kSemaImage);
  for (HistogramSlot& s : g_histogramCache) {
    delete s.picture;
    s.picture = nullptr;
  }
  ResetHistogramCache();
}

void ResetHistogramCache() {
  std::memset(g_histogramCache, 0, sizeof g_histogramCache);
  g_lastHistogramRow = -1;
  g_histogramTicks = 0;
}
