#include "core/pure/thumbnail_geometry.h"

#include <cstddef>
#include <cstring>

ThumbRect ComputeThumbnailRect(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight, bool fit) {
  if (fit || pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
    return {0, 0, boxWidth, boxHeight};
  float kx = static_cast<float>(boxWidth) / pictureWidth;
  float ky = static_cast<float>(boxHeight) / pictureHeight;
  if (kx > ky) {
    int w = static_cast<int>(boxWidth * (ky / kx + 0.01f));
    return {static_cast<int>((boxWidth - w) * 0.5f), 0, w, boxHeight};
  }
  int h = static_cast<int>(boxHeight * (kx / ky + 0.01f));
  return {0, static_cast<int>((boxHeight - h) * 0.5f), boxWidth, h};
}

void ComputeSmallHistogram(const uint8_t* pixels, int width, int height, int stride, uint8_t bins[96]) {
  int counts[96] = {};
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = pixels + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, p += 3) {
      ++counts[p[2] / 8];       // red
      ++counts[32 + p[1] / 8];  // green
      ++counts[64 + p[0] / 8];  // blue
    }
  }
  for (int i = 0; i < 96; ++i) {
    int v = counts[i] / 2;
    bins[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
  }
}
