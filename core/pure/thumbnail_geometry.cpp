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

int JpegReduction(int width, int height, int needWidth, int needHeight) {
  if (width <= 0 || height <= 0 || needWidth <= 0 || needHeight <= 0) return 1;
  for (int d = 8; d > 1; d /= 2)
    if ((width + d - 1) / d >= needWidth && (height + d - 1) / d >= needHeight) return d;
  return 1;
}

int JpegReductionToFit(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return 1;
  // The fitted size: the box's width or height, the other side in proportion, rounded up.
  const int64_t w = width, h = height;
  if (w * boxHeight >= h * boxWidth)
    return JpegReduction(width, height, boxWidth, static_cast<int>((h * boxWidth + w - 1) / w));
  return JpegReduction(width, height, static_cast<int>((w * boxHeight + h - 1) / h), boxHeight);
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
