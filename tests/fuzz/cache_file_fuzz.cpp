// Thumbnail cache files come from disk and may be damaged: every view they give must stay
// inside the bytes read.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "core/pure/folder_cache_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool pixels : {true, false}) {
    CacheView v;
    if (!OpenCacheView(data, size, 5.16, pixels, &v)) continue;
    volatile uint8_t sink = 0;
    for (uint32_t r = 0; r < v.count; ++r) {
      sink ^= v.EntryImage(r)[kCacheEntryImageSize - 1];
      uint32_t n;
      if (const uint8_t* u = v.UndoRecords(r, &n)) sink ^= u[n * kCacheUndoRecordSize - 1];
      if (const uint8_t* p = v.PixelBlock(r)) sink ^= p[kCachePixelBlockSize - 1];
    }
  }
  return 0;
}
