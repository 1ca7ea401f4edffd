#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/pure/thumbnail_geometry.h"

namespace {

TEST(ThumbnailGeometry, FitStretchesAndProportionsCentre) {
  struct Case { int bw, bh, pw, ph; bool fit; ThumbRect r; } cases[] = {
      {88, 60, 300, 400, false, {21, 0, 45, 60}},   // portrait in a landscape box
      {88, 60, 4000, 3000, false, {4, 0, 80, 60}},  // 4:3: width 88 x (0.02 / 0.022 + 0.01), x = 4
      {28, 20, 4000, 3000, true, {0, 0, 28, 20}},
      {88, 60, 0, 3000, false, {0, 0, 88, 60}},     // unknown size: stretched, never divided by zero
      {88, 60, 100, -5, false, {0, 0, 88, 60}},
  };
  for (const Case& c : cases) {
    ThumbRect r = ComputeThumbnailRect(c.bw, c.bh, c.pw, c.ph, c.fit);
    EXPECT_EQ(r.x, c.r.x) << c.pw << "x" << c.ph;
    EXPECT_EQ(r.y, c.r.y) << c.pw << "x" << c.ph;
    EXPECT_EQ(r.width, c.r.width) << c.pw << "x" << c.ph;
    EXPECT_EQ(r.height, c.r.height) << c.pw << "x" << c.ph;
  }
  // A wide panorama in the box: full width, centred vertically.
  ThumbRect pano = ComputeThumbnailRect(88, 60, 1000, 200, false);
  EXPECT_EQ(pano.width, 88);
  EXPECT_EQ(pano.height, static_cast<int>(60 * (0.088f / 0.3f + 0.01f)));
  EXPECT_EQ(pano.y, static_cast<int>((60 - pano.height) * 0.5f));
}

TEST(ThumbnailGeometry, JpegReductionNeverGoesBelowTheNeed) {
  EXPECT_EQ(JpegReduction(5472, 3648, 1200, 800), 4);  // 1368 x 912
  EXPECT_EQ(JpegReduction(5472, 3648, 1368, 912), 4);  // exactly the need
  EXPECT_EQ(JpegReduction(5472, 3648, 1369, 912), 2);
  EXPECT_EQ(JpegReduction(3000, 2000, 88, 60), 8);
  EXPECT_EQ(JpegReduction(160, 120, 88, 60), 1);  // half would be 80 wide
  EXPECT_EQ(JpegReduction(177, 120, 88, 60), 2);  // 89 x 60, rounded up
  EXPECT_EQ(JpegReduction(100, 100, 400, 400), 1);
  EXPECT_EQ(JpegReduction(5472, 3648, 0, 800), 1);  // no need known: whole
  // Fitted into a pane: the side that fills it counts.
  EXPECT_EQ(JpegReductionToFit(5472, 3648, 1200, 800), 4);
  EXPECT_EQ(JpegReductionToFit(5472, 3648, 1200, 2000), 4);  // 1200 x 800 in a tall pane
  EXPECT_EQ(JpegReductionToFit(5472, 3648, 1920, 1080), 2);  // 1620 x 1080
  EXPECT_EQ(JpegReductionToFit(3648, 5472, 1200, 800), 4);   // upright: 534 x 800 (an eighth is 456 wide)
  EXPECT_EQ(JpegReductionToFit(3648, 5472, 1200, 600), 8);   // 456 x 684
  EXPECT_EQ(JpegReductionToFit(800, 600, 1200, 800), 1);
  EXPECT_EQ(JpegReductionToFit(5472, 3648, 0, 0), 1);
}

TEST(ThumbnailGeometry, SmallHistogramHalvesTheBins) {
  // 16 x 12 pixels: all pure red (B=0, G=0, R=255) except one row of mid grey.
  std::vector<uint8_t> px(16 * 12 * 3, 0);
  for (int i = 0; i < 16 * 11; ++i) px[i * 3 + 2] = 255;
  for (int i = 16 * 11; i < 16 * 12; ++i) px[i * 3] = px[i * 3 + 1] = px[i * 3 + 2] = 128;
  uint8_t bins[96];
  ComputeSmallHistogram(px.data(), 16, 12, 48, bins);
  EXPECT_EQ(bins[31], 176 / 2);      // red 255 -> bin 31
  EXPECT_EQ(bins[16], 16 / 2);       // red 128 -> bin 16
  EXPECT_EQ(bins[32 + 0], 176 / 2);  // green 0
  EXPECT_EQ(bins[64 + 16], 16 / 2);  // blue 128
  EXPECT_EQ(HistogramBarTop(0), 16);
  EXPECT_EQ(HistogramBarTop(5), 11);
  EXPECT_EQ(HistogramBarTop(200), 0);
}

}  // namespace

namespace {

// The box scaler pixel by pixel: every sample's four neighbours mixed by their alpha (the slow
// road the drawing takes), for the row- and pair-wise shortcuts to match byte for byte.
uint32_t Mixed(uint32_t a, uint32_t b, float position) {
  const int pos = static_cast<int>(std::floor(static_cast<float>(static_cast<double>(position * 255.0f) + 0.5)));
  const int aa = static_cast<int>(a >> 24) * (pos ^ 0xff), ba = static_cast<int>(b >> 24) * pos;
  if (aa + ba < 0xff) return 0;
  auto channel = [&](int shift) {
    return static_cast<uint32_t>((static_cast<int>((a >> shift) & 0xff) * aa + static_cast<int>((b >> shift) & 0xff) * ba) /
                                 (aa + ba));
  };
  return static_cast<uint32_t>((aa + ba) / 0xff) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

std::vector<uint32_t> SlowBox(const std::vector<uint32_t>& source, int sw, int sh, int bw, int bh, ThumbRect r) {
  std::vector<uint32_t> box(static_cast<size_t>(bw) * bh, 0);
  const float fw = static_cast<float>(sw), fh = static_cast<float>(sh);
  const float m11 = static_cast<float>(r.width) / fw, m22 = static_cast<float>(r.height) / fh;
  const float x0 = -static_cast<float>(r.x) / m11, y0 = -static_cast<float>(r.y) / m22;
  const float dx = (1 / m11 + x0) - x0, dy = (1 / m22 + y0) - y0;
  auto at = [&](int x, int y) { return x < sw && y < sh ? source[static_cast<size_t>(y) * sw + x] : 0u; };
  for (int y = std::max(0, std::min(r.y, r.y + r.height)); y < std::min(bh, std::max(r.y, r.y + r.height)); ++y) {
    const float sy = y0 + static_cast<float>(y) * dy;
    if (!(sy >= 0 && sy < fh)) continue;
    for (int x = std::max(0, std::min(r.x, r.x + r.width)); x < std::min(bw, std::max(r.x, r.x + r.width)); ++x) {
      const float sx = x0 + static_cast<float>(x) * dx;
      if (!(sx >= 0 && sx < fw)) continue;
      const int lx = static_cast<int>(std::floor(sx)), hx = static_cast<int>(std::ceil(sx));
      const int ly = static_cast<int>(std::floor(sy)), hy = static_cast<int>(std::ceil(sy));
      uint32_t c;
      if (lx == hx && ly == hy)
        c = at(lx, ly);
      else
        c = Mixed(Mixed(at(lx, ly), at(hx, ly), sx - std::floor(sx)), Mixed(at(lx, hy), at(hx, hy), sx - std::floor(sx)),
                  sy - std::floor(sy));
      box[static_cast<size_t>(y) * bw + x] = (c & 0xff000000u) ? c : 0;
    }
  }
  return box;
}

}  // namespace

// Opaque and see-through sources, shrunk, grown, one for one, mirrored, cut by the box's edges.
TEST(ThumbnailGeometry, BoxScalerGivesThePixelsOfTheSlowMix) {
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  struct Case { int sw, sh, bw, bh; ThumbRect r; bool clear; } cases[] = {
      {300, 200, 88, 60, {0, 0, 88, 60}, false},   {300, 200, 88, 60, {4, 3, 80, 53}, true},
      {40, 30, 88, 60, {-5, -7, 100, 75}, false},  {88, 60, 88, 60, {0, 0, 88, 60}, true},
      {176, 120, 88, 60, {0, 0, 88, 60}, false},   {50, 70, 88, 60, {88, 60, -88, -60}, true},
      {1000, 17, 88, 60, {10, 20, 70, 3}, false},  {7, 7, 32, 16, {0, 0, 32, 16}, true},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> source(static_cast<size_t>(c.sw) * c.sh);
    for (uint32_t& p : source) {
      p = next() | 0xff000000u;
      if (c.clear && next() % 5 == 0) p = (p & 0x00ffffffu) | (next() % 3 == 0 ? 0 : (next() & 0xff) << 24);
    }
    std::vector<uint32_t> box(static_cast<size_t>(c.bw) * c.bh, 0x12345678u);
    ScaleIntoBox(source.data(), c.sw, c.sh, box.data(), c.bw, c.bh, c.r);
    EXPECT_EQ(box, SlowBox(source, c.sw, c.sh, c.bw, c.bh, c.r)) << c.sw << "x" << c.sh << " in " << c.r.width;
  }
}
