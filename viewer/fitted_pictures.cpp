#include "viewer/fitted_pictures.h"

#include <gdiplus.h>

#include <cstring>

#include "core/spare_memory.h"
#include "viewer/pure/area_shrink.h"

using namespace Gdiplus;

namespace {

// Enough for the prefetch window at its widest (29 pictures) in a full-HD pane.
constexpr int kSlots = 32;
// A 32-bit process keeps its address space for the decoded pictures themselves.
constexpr uint64_t kBudget = sizeof(void*) == 4 ? (96ull << 20) : (256ull << 20);

struct Slot {
  const Image* image = nullptr;
  int32_t w = 0, h = 0;
  uint8_t* bits = nullptr;  // top-down rows of w x 4 bytes
  size_t capacity = 0;      // of the memory bits lies in
  uint64_t lastUse = 0;
};

struct Table {
  CRITICAL_SECTION lock;
  Slot slots[kSlots];
  uint64_t clock = 0, bytes = 0;
  uint64_t forgets = 0;  // pictures forgotten (about to be deleted) so far
  Table() { InitializeCriticalSection(&lock); }
};

Table& TheTable() {
  static Table table;
  return table;
}

struct Guard {
  CRITICAL_SECTION* cs;
  explicit Guard(CRITICAL_SECTION* c) : cs(c) { EnterCriticalSection(cs); }
  ~Guard() { LeaveCriticalSection(cs); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
};

uint64_t SizeOf(int32_t w, int32_t h) { return static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4; }

// The memory of copies and of the pixels copied out is kept for the next picture's (a fresh
// page costs more under Wine than the shrink's work on it).
struct Pixels {
  uint8_t* bits = nullptr;
  size_t capacity = 0;
};

Pixels TakePixels(SpareKind kind, uint64_t bytes) {
  Pixels p;
  if (bytes > 0 && bytes <= (~size_t{0} >> 1))
    p.bits = static_cast<uint8_t*>(TakeSpareMemory(kind, static_cast<size_t>(bytes), &p.capacity));
  return p;
}

void GiveBackPixels(SpareKind kind, Pixels p) { GiveBackSpareMemory(kind, p.bits, p.capacity); }

void Free(Table& t, Slot& s) {
  if (s.bits) t.bytes -= SizeOf(s.w, s.h);
  GiveBackPixels(SpareKind::kFittedCopy, Pixels{s.bits, s.capacity});
  s = Slot{};
}

Slot* Find(Table& t, const Image* image, int32_t w, int32_t h) {
  for (Slot& s : t.slots)
    if (s.image == image && s.bits && s.w == w && s.h == h) return &s;
  return nullptr;
}

}  // namespace

namespace {

// Puts the made copy in the table (taking its pixels) unless one is there or, when forgetsBefore
// is given, a picture was forgotten since then (this one may be gone).
bool KeepCopy(Table& t, const Image* image, int32_t w, int32_t h, Pixels copy, const uint64_t* forgetsBefore) {
  Guard g(&t.lock);
  if (Slot* s = Find(t, image, w, h)) {  // made meanwhile by another thread
    GiveBackPixels(SpareKind::kFittedCopy, copy);
    s->lastUse = ++t.clock;
    return true;
  }
  if (forgetsBefore && *forgetsBefore != t.forgets) {
    GiveBackPixels(SpareKind::kFittedCopy, copy);
    return false;
  }
  // The least recently used copies make room: a free slot, and bytes within the budget.
  for (;;) {
    Slot* oldest = nullptr;
    bool haveFree = false;
    for (Slot& s : t.slots) {
      if (!s.bits) {
        haveFree = true;
        continue;
      }
      if (!oldest || s.lastUse < oldest->lastUse) oldest = &s;
    }
    if (haveFree && t.bytes + SizeOf(w, h) <= kBudget) break;
    if (!oldest) break;
    Free(t, *oldest);
  }
  for (Slot& s : t.slots) {
    if (s.bits) continue;
    s.image = image;
    s.w = w;
    s.h = h;
    s.bits = copy.bits;
    s.capacity = copy.capacity;
    s.lastUse = ++t.clock;
    t.bytes += SizeOf(w, h);
    return true;
  }
  GiveBackPixels(SpareKind::kFittedCopy, copy);
  return false;
}

// The bytes per pixel of a picture that can be copied this way, 0 for any other.
int32_t CopyableBytesPerPixel(Image* image, int32_t w, int32_t h) {
  if (image->GetType() != ImageTypeBitmap) return 0;
  const PixelFormat format = image->GetPixelFormat();
  const int32_t bpp = format == PixelFormat24bppRGB ? 3 : format == PixelFormat32bppRGB ? 4 : 0;
  // Transparency and palettes keep the scaled draw.
  const int32_t sw = static_cast<int32_t>(image->GetWidth()), sh = static_cast<int32_t>(image->GetHeight());
  if (bpp == 0 || w > sw || h > sh || SizeOf(w, h) > kBudget / 4) return 0;
  return bpp;
}

}  // namespace

bool MakeFittedPicture(Image* image, int32_t w, int32_t h) {
  if (!image || w <= 0 || h <= 0) return false;
  Table& t = TheTable();
  {
    Guard g(&t.lock);
    if (Slot* s = Find(t, image, w, h)) {
      s->lastUse = ++t.clock;
      return true;
    }
  }
  const int32_t bpp = CopyableBytesPerPixel(image, w, h);
  if (bpp == 0) return false;
  const PixelFormat format = image->GetPixelFormat();
  const int32_t sw = static_cast<int32_t>(image->GetWidth()), sh = static_cast<int32_t>(image->GetHeight());
  const Pixels copy = TakePixels(SpareKind::kFittedCopy, SizeOf(w, h));
  if (!copy.bits) return false;
  // Locked in its own format, the decoded picture is read where it lies, without a converted copy.
  Bitmap* bitmap = static_cast<Bitmap*>(image);
  Rect all(0, 0, sw, sh);
  BitmapData data{};
  bool ok = bitmap->LockBits(&all, ImageLockModeRead, format, &data) == Ok;
  if (ok) {
    ok = AreaShrink(static_cast<const uint8_t*>(data.Scan0), sw, sh, data.Stride, bpp, copy.bits, w, h, w * 4);
    bitmap->UnlockBits(&data);
  }
  if (!ok) {
    GiveBackPixels(SpareKind::kFittedCopy, copy);
    return false;
  }
  return KeepCopy(t, image, w, h, copy, nullptr);
}

bool CopyOutForFitting(Gdiplus::Image* image, int32_t w, int32_t h, FittingSource* out) {
  *out = FittingSource{};
  if (!image || w <= 0 || h <= 0 || HasFittedPicture(image, w, h)) return false;
  const int32_t bpp = CopyableBytesPerPixel(image, w, h);
  if (bpp == 0) return false;
  const PixelFormat format = image->GetPixelFormat();
  const int32_t sw = static_cast<int32_t>(image->GetWidth()), sh = static_cast<int32_t>(image->GetHeight());
  Table& t = TheTable();
  uint64_t forgets;
  {
    Guard g(&t.lock);
    forgets = t.forgets;  // before the pixels are read
  }
  const size_t row = static_cast<size_t>(sw) * bpp;
  const Pixels copied = TakePixels(SpareKind::kFittingSource, static_cast<uint64_t>(row) * sh);
  uint8_t* pixels = copied.bits;
  if (!pixels) return false;
  Rect all(0, 0, sw, sh);
  BitmapData data{};
  if (static_cast<Bitmap*>(image)->LockBits(&all, ImageLockModeRead, format, &data) != Ok) {
    GiveBackPixels(SpareKind::kFittingSource, copied);
    return false;
  }
  for (int32_t y = 0; y < sh; ++y)
    std::memcpy(pixels + row * y, static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, row);
  static_cast<Bitmap*>(image)->UnlockBits(&data);
  out->image = image;
  out->pixels = pixels;
  out->capacity = copied.capacity;
  out->width = sw;
  out->height = sh;
  out->bytesPerPixel = bpp;
  out->forgets = forgets;
  return true;
}

bool MakeFittedPictureFromCopy(FittingSource* source, int32_t w, int32_t h) {
  if (!source->pixels) return false;
  bool kept = false;
  const Pixels copy = TakePixels(SpareKind::kFittedCopy, SizeOf(w, h));
  if (copy.bits) {
    if (AreaShrink(source->pixels, source->width, source->height, source->width * source->bytesPerPixel,
                   source->bytesPerPixel, copy.bits, w, h, w * 4))
      kept = KeepCopy(TheTable(), source->image, w, h, copy, &source->forgets);
    else
      GiveBackPixels(SpareKind::kFittedCopy, copy);
  }
  GiveBackPixels(SpareKind::kFittingSource, Pixels{source->pixels, source->capacity});
  source->pixels = nullptr;
  return kept;
}

bool DrawFittedPicture(HDC target, int32_t x, int32_t y, Image* image, int32_t w, int32_t h) {
  if (!target || !image) return false;
  Table& t = TheTable();
  Guard g(&t.lock);
  Slot* s = Find(t, image, w, h);
  if (!s) return false;
  s->lastUse = ++t.clock;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return SetDIBitsToDevice(target, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                           s->bits, &info, DIB_RGB_COLORS) == h;
}

bool HasFittedPicture(const Image* image, int32_t w, int32_t h) {
  Table& t = TheTable();
  Guard g(&t.lock);
  return Find(t, image, w, h) != nullptr;
}

void ForgetFittedPictures(const Image* image) {
  if (!image) return;
  Table& t = TheTable();
  Guard g(&t.lock);
  ++t.forgets;
  for (Slot& s : t.slots)
    if (s.image == image) Free(t, s);
}

uint64_t FittedPictureBytes() {
  Table& t = TheTable();
  Guard g(&t.lock);
  return t.bytes;
}

uint64_t FittedPictureBudget() { return kBudget; }
