#include "viewer/pure/area_shrink.h"

#include <cstddef>
#include <vector>

bool AreaShrink(const uint8_t* src, int32_t sw, int32_t sh, int32_t srcStride, int32_t srcBytesPerPixel,
                uint8_t* dst, int32_t dw, int32_t dh, int32_t dstStride) {
  if (!src || !dst || (srcBytesPerPixel != 3 && srcBytesPerPixel != 4)) return false;
  if (dw < 1 || dh < 1 || dw > sw || dh > sh) return false;
  // Target column x covers source columns [xs[x], xs[x + 1]); never empty since dw <= sw.
  std::vector<int32_t> xs(static_cast<std::size_t>(dw) + 1);
  for (int32_t x = 0; x <= dw; ++x)
    xs[static_cast<std::size_t>(x)] = static_cast<int32_t>(static_cast<int64_t>(x) * sw / dw);
  std::vector<uint64_t> sums(static_cast<std::size_t>(dw) * 3);
  const int32_t bpp = srcBytesPerPixel;
  for (int32_t y = 0; y < dh; ++y) {
    const int32_t y0 = static_cast<int32_t>(static_cast<int64_t>(y) * sh / dh);
    const int32_t y1 = static_cast<int32_t>(static_cast<int64_t>(y + 1) * sh / dh);
    for (uint64_t& s : sums) s = 0;
    for (int32_t sy = y0; sy < y1; ++sy) {
      const uint8_t* row = src + static_cast<int64_t>(sy) * srcStride;
      uint64_t* out = sums.data();
      for (int32_t x = 0; x < dw; ++x, out += 3) {
        // Row sums of one span stay far below 2^32 (a span is at most sw pixels of 255).
        uint32_t b = 0, g = 0, r = 0;
        const uint8_t* p = row + static_cast<int64_t>(xs[static_cast<std::size_t>(x)]) * bpp;
        const uint8_t* end = row + static_cast<int64_t>(xs[static_cast<std::size_t>(x) + 1]) * bpp;
        for (; p < end; p += bpp) {
          b += p[0];
          g += p[1];
          r += p[2];
        }
        out[0] += b;
        out[1] += g;
        out[2] += r;
      }
    }
    uint8_t* line = dst + static_cast<int64_t>(y) * dstStride;
    const uint64_t rows = static_cast<uint64_t>(y1 - y0);
    const uint64_t* in = sums.data();
    for (int32_t x = 0; x < dw; ++x, in += 3) {
      const uint64_t n = rows * static_cast<uint64_t>(xs[static_cast<std::size_t>(x) + 1] - xs[static_cast<std::size_t>(x)]);
      line[x * 4] = static_cast<uint8_t>((in[0] + n / 2) / n);
      line[x * 4 + 1] = static_cast<uint8_t>((in[1] + n / 2) / n);
      line[x * 4 + 2] = static_cast<uint8_t>((in[2] + n / 2) / n);
      line[x * 4 + 3] = 255;
    }
  }
  return true;
}
