#include "viewer/pure/histogram_bins.h"

#include <cstring>

void CountHistogramBins(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height, HistogramBins* out) {
  std::memset(out, 0, sizeof *out);
  if (!pixels || width <= 0 || height <= 0 || stride < width * 3) return;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = pixels + static_cast<int64_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x, p += 3) {
      ++out->bins[2][p[0]];
      ++out->bins[1][p[1]];
      ++out->bins[0][p[2]];
    }
  }
  const float factor = 4096.0f / static_cast<float>(static_cast<int64_t>(width) * height);
  for (auto& channel : out->bins)
    for (int32_t& bin : channel) bin = static_cast<int32_t>(static_cast<float>(bin) * factor);
}

int32_t ClampHistogramBar(int32_t value) { return value > 64 ? 64 : (value < 0 ? 0 : value); }
