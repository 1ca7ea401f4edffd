#include "core/row_picture_store.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "core/image_pipeline.h"
#include "core/kept_bitmap.h"
#include "core/picture_words.h"
#include "core/pure/thumbnail_geometry.h"
#include "core/spare_memory.h"
#include "core/srw_held.h"

namespace {

constexpr size_t kLevel0Bytes = size_t{kThumbWidth} * kThumbHeight * 4;
constexpr size_t kHistogramBytes = size_t{kHistogramPictureWidth} * kHistogramPictureHeight * 4;
constexpr size_t kChunkBytes = 1u << 20;

// Empty chunks kept by both stores together.
std::atomic<size_t> g_keptEmptyBytes{0};

struct Chunk {
  uint8_t* base = nullptr;
  size_t bytes = 0;
  size_t slots = 0;
  std::vector<uint16_t> free;  // the slot freed last on top, so its pages are the warmest
};

// Slots of one size in chunks of about a megabyte, taken from the lowest chunk that has one, so
// that the pages in use stay the ones touched before.
class SlotStore {
 public:
  explicit SlotStore(size_t slotBytes) : slotBytes_(slotBytes) {}

  void* Take() {
    {
      SrwHeld held(&lock_);
      if (void* slot = TakeLocked()) return slot;
    }
    // A new chunk is allocated without the lock: an allocation that fails gives back kept
    // memory, this store's empty chunks among it.
    const size_t wanted = (std::max(kChunkBytes / slotBytes_, size_t{1}) * slotBytes_ + 0xFFFF) & ~size_t{0xFFFF};
    auto* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, wanted, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!base) return nullptr;
    AddSpareMemoryReleaser(ReleaseEmptyRowPictureChunks);
    Chunk chunk;
    chunk.base = base;
    chunk.bytes = wanted;
    chunk.slots = std::min<size_t>(wanted / slotBytes_, 0xFFFF);
    for (size_t i = chunk.slots; i-- > 0;) chunk.free.push_back(static_cast<uint16_t>(i));
    SrwHeld held(&lock_);
    auto at = std::upper_bound(chunks_.begin(), chunks_.end(), base,
                               [](const uint8_t* b, const Chunk& c) { return b < c.base; });
    const size_t index = static_cast<size_t>(at - chunks_.begin());
    chunks_.insert(at, std::move(chunk));
    g_keptEmptyBytes += wanted;  // empty until its first slot is taken below
    firstFree_ = std::min(firstFree_, index);
    return TakeLocked();
  }

  void Give(void* slot) {
    uint8_t* freed = nullptr;
    bool emptied = false;
    {
      SrwHeld held(&lock_);
      auto at = std::upper_bound(chunks_.begin(), chunks_.end(), static_cast<uint8_t*>(slot),
                                 [](const uint8_t* b, const Chunk& c) { return b < c.base; });
      if (at == chunks_.begin()) return;
      --at;
      Chunk& c = *at;
      const size_t offset = static_cast<size_t>(static_cast<uint8_t*>(slot) - c.base);
      if (offset >= c.slots * slotBytes_) return;
      c.free.push_back(static_cast<uint16_t>(offset / slotBytes_));
      const size_t index = static_cast<size_t>(at - chunks_.begin());
      if (index < firstFree_) firstFree_ = index;
      if (c.free.size() == c.slots) {
        if (g_keptEmptyBytes + c.bytes > kRowStoreKeptBytes) {
          freed = c.base;
          chunks_.erase(at);
        } else {
          g_keptEmptyBytes += c.bytes;
          emptied = true;
        }
      }
    }
    if (freed) VirtualFree(freed, 0, MEM_RELEASE);
    if (emptied && MemoryIsShort()) ReleaseEmptyRowPictureChunks();
  }

  bool ReleaseEmpty() {
    std::vector<uint8_t*> freed;
    {
      SrwHeld held(&lock_);
      for (size_t i = chunks_.size(); i-- > 0;) {
        if (chunks_[i].free.size() != chunks_[i].slots) continue;
        freed.push_back(chunks_[i].base);
        g_keptEmptyBytes -= chunks_[i].bytes;
        chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(i));
      }
      firstFree_ = 0;
    }
    for (uint8_t* base : freed) VirtualFree(base, 0, MEM_RELEASE);
    return !freed.empty();
  }

  uint64_t Bytes() {
    SrwHeld held(&lock_);
    uint64_t bytes = 0;
    for (const Chunk& c : chunks_) bytes += c.bytes;
    return bytes;
  }

 private:
  void* TakeLocked() {
    for (; firstFree_ < chunks_.size(); ++firstFree_) {
      Chunk& c = chunks_[firstFree_];
      if (c.free.empty()) continue;
      if (c.free.size() == c.slots) g_keptEmptyBytes -= c.bytes;
      const size_t slot = c.free.back();
      c.free.pop_back();
      return c.base + slot * slotBytes_;
    }
    return nullptr;
  }

  const size_t slotBytes_;
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::vector<Chunk> chunks_;  // by address
  size_t firstFree_ = 0;       // no chunk before it has a free slot
};

// Never destroyed: a picture deleted late in the process's exit still finds its store.
SlotStore* Level0Store() {
  static SlotStore* store = new SlotStore(kLevel0Bytes);
  return store;
}
SlotStore* HistogramStore() {
  static SlotStore* store = new SlotStore(kHistogramBytes);
  return store;
}

SlotStore* StoreFor(size_t bytes) {
  if (bytes == kLevel0Bytes) return Level0Store();
  if (bytes == kHistogramBytes) return HistogramStore();
  return nullptr;
}

void GiveBackSlot(void* slot, size_t bytes) {
  if (SlotStore* store = StoreFor(bytes)) store->Give(slot);
}

// A bitmap over the store's slot filled by fill; null when the store has none for the size.
template <typename Fill>
Gdiplus::Bitmap* PictureInSlot(int width, int height, Fill fill) {
  const size_t bytes = static_cast<size_t>(width) * height * 4;
  SlotStore* store = StoreFor(bytes);
  void* slot = store ? store->Take() : nullptr;
  if (!slot) return nullptr;
  fill(static_cast<uint32_t*>(slot));
  auto* picture = new KeptBitmap(width, height, width * 4, PixelFormat32bppARGB, slot, bytes, GiveBackSlot);
  if (picture->GetLastStatus() == Gdiplus::Ok) return picture;
  delete picture;
  return nullptr;
}

}  // namespace

Gdiplus::Bitmap* RowPictureOfWords(const uint32_t* words, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  if (Gdiplus::Bitmap* picture = PictureInSlot(width, height, [&](uint32_t* slot) {
        std::memcpy(slot, words, static_cast<size_t>(width) * height * 4);
      }))
    return picture;
  return PictureOfWords(words, width, height);
}

Gdiplus::Bitmap* RowPictureOfBgr(const uint8_t* bgr, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  if (Gdiplus::Bitmap* picture = PictureInSlot(width, height, [&](uint32_t* slot) {
        const uint8_t* p = bgr;
        for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i, p += 3)
          slot[i] = 0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
      }))
    return picture;
  auto* picture = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (picture->GetLastStatus() != Gdiplus::Ok ||
      picture->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
    delete picture;
    return nullptr;
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                bgr + static_cast<size_t>(y) * width * 3, static_cast<size_t>(width) * 3);
  picture->UnlockBits(&data);
  return picture;
}

uint64_t RowPictureStoreBytes() { return Level0Store()->Bytes() + HistogramStore()->Bytes(); }

bool ReleaseEmptyRowPictureChunks() {
  const bool level0 = Level0Store()->ReleaseEmpty();
  const bool histogram = HistogramStore()->ReleaseEmpty();
  return level0 || histogram;
}
