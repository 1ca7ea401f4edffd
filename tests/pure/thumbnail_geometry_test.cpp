#include <gtest/gtest.h>

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
