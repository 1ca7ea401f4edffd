#include "viewer/pure/unsharp_mask.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

int BuildUnsharpKernel(int radius, double* weights, int capacity) {
  if (radius < 1 || radius > 30 || capacity < 3 * radius + 1) return 0;
  for (int x = 0; x <= 3 * radius; ++x) {
    int q = -(x * x) / (2 * radius * radius);  // integer quotient, so the bell is stepped
    weights[x] = std::exp(static_cast<double>(q));
  }
  return 3 * radius + 1;
}

namespace {

inline uint8_t ClampByte(long v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// One blur pass along a line of n pixels `step` bytes apart.
void BlurLine(const uint8_t* src, uint8_t* dst, int n, long step, const double* w, int reach) {
  for (int x = 0; x < n; ++x) {
    double sum[3] = {0, 0, 0}, weightSum = 0;
    int lo = x - reach < 0 ? 0 : x - reach, hi = x + reach > n - 1 ? n - 1 : x + reach;
    for (int l = lo; l <= hi; ++l) {
      double k = w[std::abs(l - x)];
      const uint8_t* p = src + l * step;
      sum[0] += k * p[0];
      sum[1] += k * p[1];
      sum[2] += k * p[2];
      weightSum += k;
    }
    uint8_t* d = dst + x * step;
    for (int c = 0; c < 3; ++c) d[c] = ClampByte(static_cast<long>(sum[c] / weightSum));
  }
}

}  // namespace

bool SharpenPixels24(uint8_t* pixels, int width, int height, int stride, int radius, int percent) {
  double weights[91];
  int taps = BuildUnsharpKernel(radius, weights, 91);
  if (taps == 0 || width <= 0 || height <= 0 || std::abs(stride) < width * 3) return false;
  const int reach = 3 * radius;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  // Packed copies: the horizontal pass result, then the vertical pass in place of it.
  std::vector<uint8_t> horizontal(rowBytes * height), blurred(rowBytes * height);
  std::vector<uint8_t> original(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
    std::copy(row, row + rowBytes, original.begin() + rowBytes * y);
    BlurLine(row, horizontal.data() + rowBytes * y, width, 3, weights, reach);
  }
  for (int x = 0; x < width; ++x)
    BlurLine(horizontal.data() + x * 3, blurred.data() + x * 3, height, static_cast<long>(rowBytes), weights, reach);
  const double amount = static_cast<double>(static_cast<float>(percent) / 100.0f);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
    const uint8_t* o = original.data() + rowBytes * y;
    const uint8_t* b = blurred.data() + rowBytes * y;
    for (size_t i = 0; i < rowBytes; ++i)
      row[i] = ClampByte(o[i] + static_cast<long>((static_cast<int>(o[i]) - b[i]) * amount));
  }
  return true;
}
