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

namespace {

// Two channels at once (red and blue, or alpha and green), each in 16 bits, mixed by whole
// weights over 255: a product of two bytes fits, and (v + 1 + (v >> 8)) >> 8 is v / 255 for every
// such v. For four opaque pixels the mix by alpha comes down to this, as exact.
inline uint32_t MixPair(uint32_t a, uint32_t b, uint32_t pos) {
  const uint32_t v = a * (pos ^ 0xff) + b * pos;
  return ((v + 0x00010001u + ((v >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

constexpr uint32_t kPairMask = 0x00FF00FFu;

// Laid over transparent black: a transparent sample leaves the black.
inline uint32_t Uncovered(uint32_t c) { return (c & 0xff000000u) ? c : 0; }

// Where a box column or row samples the source: its two source pixels (the second -1 past the
// source's end, which samples as transparent black), the distance from the first, its rounded
// weight, and whether it falls on a pixel.
struct Steps {
  std::vector<int> low, high, pos;
  std::vector<float> offset;
  std::vector<uint8_t> inside, exact;
  explicit Steps(size_t n) : low(n), high(n), pos(n), offset(n), inside(n), exact(n) {}
  void Set(size_t i, float at, float size, int count) {
    inside[i] = at >= 0 && at < size;
    if (!inside[i]) return;
    const float below = std::floor(at);
    low[i] = static_cast<int>(below);
    const int above = static_cast<int>(std::ceil(at));
    exact[i] = above == low[i];
    high[i] = above < count ? above : -1;
    offset[i] = at - below;
    pos[i] = RoundPosition(offset[i]);
  }
};

// One source row mixed across for every box column: both pixels opaque or not, and the two
// channel pairs of the mix. A box row mixes two of them, and the next box row mostly reuses one.
struct MixedRow {
  int row = -2;  // the source row (-1: past the end), -2 none yet
  std::vector<uint8_t> opaque;
  std::vector<uint32_t> rb, ag;
  explicit MixedRow(size_t n) : opaque(n), rb(n), ag(n) {}
  void Mix(const uint32_t* source, int sourceWidth, int sourceRow, const Steps& columns) {
    row = sourceRow;
    const uint32_t* line = sourceRow >= 0 ? source + static_cast<size_t>(sourceRow) * sourceWidth : nullptr;
    for (size_t i = 0; i < opaque.size(); ++i) {
      if (!columns.inside[i]) continue;
      const uint32_t l = line ? line[columns.low[i]] : 0;
      const uint32_t h = line && columns.high[i] >= 0 ? line[columns.high[i]] : 0;
      const uint32_t p = static_cast<uint32_t>(columns.pos[i]);
      opaque[i] = (l & h) >> 24 == 0xff;
      rb[i] = MixPair(l & kPairMask, h & kPairMask, p);
      ag[i] = MixPair((l >> 8) & kPairMask, (h >> 8) & kPairMask, p);
    }
  }
};

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
  if (right <= left || bottom <= top) return;
  const size_t n = static_cast<size_t>(right - left);
  // A sample's place depends on its column or its row only: worked out once for each.
  Steps columns(n);
  for (int x = left; x < right; ++x)
    columns.Set(static_cast<size_t>(x - left), x0 + static_cast<float>(x) * dx, sw, sourceWidth);
  bool inexactColumns = false;
  for (size_t i = 0; i < n; ++i) inexactColumns = inexactColumns || (columns.inside[i] && !columns.exact[i]);
  Steps row(1);
  MixedRow mixed[2] = {MixedRow(n), MixedRow(n)};
  auto mixedRow = [&](int sourceRow, int keep) -> const MixedRow& {
    for (MixedRow& m : mixed)
      if (m.row == sourceRow) return m;
    MixedRow& m = mixed[keep == mixed[0].row ? 1 : 0];
    m.Mix(source, sourceWidth, sourceRow, columns);
    return m;
  };
  auto at = [&](int x, int y) -> uint32_t {
    return x >= 0 && y >= 0 ? source[static_cast<size_t>(y) * sourceWidth + x] : 0;
  };
  std::vector<uint8_t> plain(n);  // the box row's columns the two-row mix gives
  for (int y = top; y < bottom; ++y) {
    row.Set(0, y0 + static_cast<float>(y) * dy, sh, sourceHeight);
    if (!row.inside[0]) continue;
    const int low = row.low[0], high = row.high[0];
    const bool rowExact = row.exact[0] != 0;
    const uint32_t* line = source + static_cast<size_t>(low) * sourceWidth;
    uint32_t* out = box + static_cast<size_t>(y) * boxWidth + left;
    if (rowExact && !inexactColumns) {
      for (size_t i = 0; i < n; ++i) out[i] = columns.inside[i] ? Uncovered(line[columns.low[i]]) : 0;
      continue;
    }
    const MixedRow& upper = mixedRow(low, high);
    const MixedRow& lower = mixedRow(high, low);
    // Every column mixed without a branch, then the few that take another road (outside the
    // source, on a source pixel, or beside a see-through one) put right.
    const uint32_t py = static_cast<uint32_t>(row.pos[0]);
    for (size_t i = 0; i < n; ++i)
      out[i] = MixPair(upper.rb[i], lower.rb[i], py) | MixPair(upper.ag[i], lower.ag[i], py) << 8;
    for (size_t i = 0; i < n; ++i)
      plain[i] = columns.inside[i] & upper.opaque[i] & lower.opaque[i] & static_cast<uint8_t>(!(columns.exact[i] & rowExact));
    for (size_t i = 0; i < n; ++i) {
      if (plain[i]) continue;
      if (!columns.inside[i]) {
        out[i] = 0;
      } else if (columns.exact[i] && rowExact) {
        out[i] = Uncovered(line[columns.low[i]]);
      } else {
        const int cl = columns.low[i], ch = columns.high[i];
        const uint32_t upperColour = BlendColours(at(cl, low), at(ch, low), columns.offset[i]);
        const uint32_t lowerColour = BlendColours(at(cl, high), at(ch, high), columns.offset[i]);
        out[i] = Uncovered(BlendColours(upperColour, lowerColour, row.offset[0]));
      }
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
