#include "viewer/pure/area_shrink.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// Exact rounded quotient (s + n/2) / n by a multiply: a division for every channel of every
// pixel took most of the shrink. With k = 55 and m = ceil(2^k / n), floor(x m / 2^k) = floor(x / n)
// for every x < 256 n (the rounded sum of n bytes) while 256 n^2 <= 2^55, and x m stays below 2^64.
constexpr int kShift = 55;
constexpr uint64_t kLargestExactCount = 1u << 23;

uint64_t Reciprocal(uint64_t n) { return ((uint64_t{1} << kShift) + n - 1) / n; }

// One source row added into the column sums.
void AddRow(uint32_t* __restrict sums, const uint8_t* __restrict row, std::size_t values) {
  for (std::size_t i = 0; i < values; ++i) sums[i] += row[i];
}

// The rows of the target from the column sums, with the pixel size fixed so that the spans'
// loops unroll.
template <int kBytes>
void ShrinkInto(const uint8_t* src, int32_t sw, int32_t sh, int32_t srcStride, uint8_t* dst, int32_t dw, int32_t dh,
                int32_t dstStride) {
  // Target column x covers source columns [xs[x], xs[x + 1]), row y rows [y0, y1): each span is
  // the whole ratio or one more, so a pixel averages one of four counts.
  std::vector<int32_t> xs(static_cast<std::size_t>(dw) + 1);
  for (int32_t x = 0; x <= dw; ++x)
    xs[static_cast<std::size_t>(x)] = static_cast<int32_t>(static_cast<int64_t>(x) * sw / dw);
  const uint64_t spanX = static_cast<uint64_t>(sw / dw), spanY = static_cast<uint64_t>(sh / dh);
  const bool exact = (spanX + 1) * (spanY + 1) <= kLargestExactCount;
  uint64_t reciprocals[2][2] = {};
  if (exact)
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) reciprocals[a][b] = Reciprocal((spanY + a) * (spanX + b));
  // The covered rows summed column by column (one pass over the source, in the order it lies),
  // then the columns of each span. Sums of a column stay far below 2^32 (at most sh bytes).
  const std::size_t rowValues = static_cast<std::size_t>(sw) * kBytes;
  std::vector<uint32_t> columns(rowValues + kBytes);  // a pixel of zeros behind, read by short spans
  // Shrinks by less than half (a fitted picture decoded at the reduction that keeps it larger):
  // spans of one or two columns, added without a loop or a branch.
  const bool narrow = spanX == 1 && exact;
  std::vector<uint32_t> longSpan(narrow ? static_cast<std::size_t>(dw) : 0);
  for (std::size_t x = 0; x < longSpan.size(); ++x) longSpan[x] = xs[x + 1] - xs[x] == 2 ? ~0u : 0u;
  for (int32_t y = 0; y < dh; ++y) {
    const int32_t y0 = static_cast<int32_t>(static_cast<int64_t>(y) * sh / dh);
    const int32_t y1 = static_cast<int32_t>(static_cast<int64_t>(y + 1) * sh / dh);
    std::memset(columns.data(), 0, rowValues * sizeof(uint32_t));
    for (int32_t sy = y0; sy < y1; ++sy) AddRow(columns.data(), src + static_cast<int64_t>(sy) * srcStride, rowValues);
    uint8_t* out = dst + static_cast<int64_t>(y) * dstStride;
    const uint64_t rows = static_cast<uint64_t>(y1 - y0);
    const uint64_t* rowReciprocals = reciprocals[rows - spanY];
    const uint32_t* sums = columns.data();
    if (narrow) {
      for (int32_t x = 0; x < dw; ++x, out += 4) {
        const uint32_t* p = sums + static_cast<std::size_t>(xs[static_cast<std::size_t>(x)]) * kBytes;
        const uint32_t mask = longSpan[static_cast<std::size_t>(x)];
        const uint64_t n = rows << (mask & 1), m = rowReciprocals[mask & 1];
        out[0] = static_cast<uint8_t>(((p[0] + (p[kBytes] & mask) + n / 2) * m) >> kShift);
        out[1] = static_cast<uint8_t>(((p[1] + (p[kBytes + 1] & mask) + n / 2) * m) >> kShift);
        out[2] = static_cast<uint8_t>(((p[2] + (p[kBytes + 2] & mask) + n / 2) * m) >> kShift);
        out[3] = 255;
      }
      continue;
    }
    for (int32_t x = 0; x < dw; ++x, out += 4) {
      const int32_t x0 = xs[static_cast<std::size_t>(x)], x1 = xs[static_cast<std::size_t>(x) + 1];
      uint64_t b = 0, g = 0, r = 0;
      for (const uint32_t *p = sums + static_cast<std::size_t>(x0) * kBytes, *end = sums + static_cast<std::size_t>(x1) * kBytes;
           p < end; p += kBytes) {
        b += p[0];
        g += p[1];
        r += p[2];
      }
      const uint64_t n = rows * static_cast<uint64_t>(x1 - x0);
      if (exact) {
        const uint64_t m = rowReciprocals[static_cast<uint64_t>(x1 - x0) - spanX];
        out[0] = static_cast<uint8_t>(((b + n / 2) * m) >> kShift);
        out[1] = static_cast<uint8_t>(((g + n / 2) * m) >> kShift);
        out[2] = static_cast<uint8_t>(((r + n / 2) * m) >> kShift);
      } else {
        out[0] = static_cast<uint8_t>((b + n / 2) / n);
        out[1] = static_cast<uint8_t>((g + n / 2) / n);
        out[2] = static_cast<uint8_t>((r + n / 2) / n);
      }
      out[3] = 255;
    }
  }
}

}  // namespace

bool AreaShrink(const uint8_t* src, int32_t sw, int32_t sh, int32_t srcStride, int32_t srcBytesPerPixel,
                uint8_t* dst, int32_t dw, int32_t dh, int32_t dstStride) {
  if (!src || !dst || (srcBytesPerPixel != 3 && srcBytesPerPixel != 4)) return false;
  if (dw < 1 || dh < 1 || dw > sw || dh > sh) return false;
  if (srcBytesPerPixel == 3) ShrinkInto<3>(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  else ShrinkInto<4>(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  return true;
}
