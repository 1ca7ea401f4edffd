#include "core/pure/thumbnail_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

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

namespace {

// The rounding of a blend position: float arithmetic with a double half added, as drawn.
int RoundPosition(float position) {
  return static_cast<int>(std::floor(static_cast<float>(static_cast<double>(position * 255.0f) + 0.5)));
}

// Two colours mixed by their alpha; below a whole step of alpha the mix is transparent black.
uint32_t BlendColours(uint32_t start, uint32_t end, float position) {
  const int pos = RoundPosition(position);
  const int startA = static_cast<int>((start >> 24) & 0xff) * (pos ^ 0xff);
  const int endA = static_cast<int>((end >> 24) & 0xff) * pos;
  const int finalA = startA + endA;
  if (finalA < 0xff) return 0;
  auto channel = [&](int shift) {
    return static_cast<uint32_t>((static_cast<int>((start >> shift) & 0xff) * startA +
                                  static_cast<int>((end >> shift) & 0xff) * endA) / finalA);
  };
  return static_cast<uint32_t>(finalA / 0xff) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

}  // namespace

void ScaleIntoBox(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* box, int boxWidth,
                  int boxHeight, ThumbRect r) {
  if (boxWidth <= 0 || boxHeight <= 0) return;
  std::memset(box, 0, static_cast<size_t>(boxWidth) * boxHeight * 4);
  if (!source || sourceWidth <= 0 || sourceHeight <= 0 || r.width == 0 || r.height == 0) return;
  // The box's pixel (x, y) samples the source at (x0 + x * dx, y0 + y * dy): the inverse of the
  // rectangle's scale, every step in float as the drawing computes it, so the samples fall alike.
  const float sw = static_cast<float>(sourceWidth), sh = static_cast<float>(sourceHeight);
  const float m11 = static_cast<float>(r.width) / sw, m22 = static_cast<float>(r.height) / sh;
  const float ix = 1 / m11, iy = 1 / m22;
  const float x0 = -static_cast<float>(r.x) / m11, y0 = -static_cast<float>(r.y) / m22;
  const float dx = (ix + x0) - x0, dy = (iy + y0) - y0;
  int left = std::min(r.x, r.x + r.width), right = std::max(r.x, r.x + r.width);
  int top = std::min(r.y, r.y + r.height), bottom = std::max(r.y, r.y + r.height);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, boxWidth);
  bottom = std::min(bottom, boxHeight);
  auto sample = [&](int x, int y) -> uint32_t {
    if (x < 0 || y < 0 || x >= sourceWidth || y >= sourceHeight) return 0;
    return source[static_cast<size_t>(y) * sourceWidth + x];
  };
  // A sample's place depends on its column or its row only: worked out once for each.
  struct Step {
    int low, high;  // the two source pixels (floor and ceiling)
    float offset;   // the distance from the low one
    bool inside;
  };
  auto step = [](float at, float size) {
    Step s{0, 0, 0, at >= 0 && at < size};
    if (s.inside) {
      const float low = std::floor(at);
      s.low = static_cast<int>(low);
      s.high = static_cast<int>(std::ceil(at));
      s.offset = at - low;
    }
    return s;
  };
  std::vector<Step> columns(static_cast<size_t>(std::max(0, right - left)));
  std::vector<int> columnPos(columns.size());
  for (int x = left; x < right; ++x) {
    columns[static_cast<size_t>(x - left)] = step(x0 + static_cast<float>(x) * dx, sw);
    columnPos[static_cast<size_t>(x - left)] = RoundPosition(columns[static_cast<size_t>(x - left)].offset);
  }
  for (int y = top; y < bottom; ++y) {
    const Step row = step(y0 + static_cast<float>(y) * dy, sh);
    if (!row.inside) continue;
    const int rowPos = RoundPosition(row.offset);
    uint32_t* out = box + static_cast<size_t>(y) * boxWidth;
    for (int x = left; x < right; ++x) {
      const Step& col = columns[static_cast<size_t>(x - left)];
      if (!col.inside) continue;
      uint32_t c;
      if (col.low == col.high && row.low == row.high) {
        c = sample(col.low, row.low);
      } else {
        const uint32_t tl = sample(col.low, row.low), tr = sample(col.high, row.low);
        const uint32_t bl = sample(col.low, row.high), br = sample(col.high, row.high);
        if ((tl & tr & bl & br) >> 24 == 0xff) {
          // All four opaque: the mix by alpha comes down to whole weights over 255, as exact.
          const uint32_t px = static_cast<uint32_t>(columnPos[static_cast<size_t>(x - left)]);
          const uint32_t py = static_cast<uint32_t>(rowPos);
          // Two channels at once (red and blue, alpha and green), each in 16 bits: a product
          // of two bytes fits, and (v + 1 + (v >> 8)) >> 8 is v / 255 for every such v.
          auto mix = [](uint32_t a, uint32_t b, uint32_t pos) {
            const uint32_t v = a * (pos ^ 0xff) + b * pos;
            return ((v + 0x00010001u + ((v >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
          };
          const uint32_t m = 0x00FF00FFu;
          const uint32_t rb = mix(mix(tl & m, tr & m, px), mix(bl & m, br & m, px), py);
          const uint32_t ag = mix(mix((tl >> 8) & m, (tr >> 8) & m, px), mix((bl >> 8) & m, (br >> 8) & m, px), py);
          c = rb | ag << 8;
        } else {
          const uint32_t upper = BlendColours(tl, tr, col.offset);
          const uint32_t lower = BlendColours(bl, br, col.offset);
          c = BlendColours(upper, lower, row.offset);
        }
      }
      // Laid over transparent black: a transparent sample leaves the black.
      out[x] = (c & 0xff000000u) ? c : 0;
    }
  }
}

namespace {

// A colour laid over a pixel, alphas not premultiplied, in whole steps as the drawing rounds them.
uint32_t ColourOver(uint32_t under, uint32_t over) {
  const uint32_t overAlpha = over >> 24;
  if (overAlpha == 0xFF) return over;
  if (overAlpha == 0) return under;
  const uint32_t underAlpha = (under >> 24) * (0xFF - overAlpha) / 0xFF;
  if (underAlpha == 0) return over;
  const uint32_t alpha = underAlpha + overAlpha;
  auto channel = [&](int shift) {
    return (((under >> shift) & 0xFF) * underAlpha + ((over >> shift) & 0xFF) * overAlpha) / alpha;
  };
  return alpha << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

}  // namespace

void DrawHistogramWords(const uint8_t bins[96], uint32_t background, uint32_t* out) {
  constexpr int w = kHistogramPictureWidth, h = kHistogramPictureHeight;
  std::fill(out, out + w * h, background);
  const uint32_t colours[3] = {0xFFFF0000u, 0x8000FF00u, 0x400000FFu};
  for (int channel = 0; channel < 3; ++channel)
    for (int x = 0; x < w; ++x)
      for (int y = HistogramBarTop(bins[channel * 32 + x]); y < h; ++y) out[y * w + x] = ColourOver(out[y * w + x], colours[channel]);
}

void TurnWords(const uint32_t* source, int width, int height, int turns, uint32_t* out) {
  if (width <= 0 || height <= 0) return;
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  for (size_t y = 0; y < h; ++y) {
    const uint32_t* row = source + y * w;
    for (size_t x = 0; x < w; ++x) {
      switch (turns & 3) {
        case 0: out[y * w + x] = row[x]; break;
        case 1: out[x * h + (h - 1 - y)] = row[x]; break;
        case 2: out[(h - 1 - y) * w + (w - 1 - x)] = row[x]; break;
        default: out[(w - 1 - x) * h + y] = row[x]; break;
      }
    }
  }
}

void BoxToBgr(const uint32_t* box, int count, bool premultiply, uint8_t* out) {
  for (int i = 0; i < count; ++i, out += 3) {
    const uint32_t c = box[i];
    const uint32_t a = c >> 24;
    const uint32_t b = c & 0xff, g = (c >> 8) & 0xff, r = (c >> 16) & 0xff;
    if (premultiply) {
      out[0] = static_cast<uint8_t>((b * a + 127) / 255);
      out[1] = static_cast<uint8_t>((g * a + 127) / 255);
      out[2] = static_cast<uint8_t>((r * a + 127) / 255);
    } else {
      out[0] = static_cast<uint8_t>(b);
      out[1] = static_cast<uint8_t>(g);
      out[2] = static_cast<uint8_t>(r);
    }
  }
}
