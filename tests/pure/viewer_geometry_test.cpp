// Viewer pane geometry, zoom steps, overlay texts, histogram bins and the prefetch radius.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "viewer/pure/histogram_bins.h"
#include "viewer/pure/viewer_geometry.h"

namespace {

std::u16string Text(const char16_t* t) { return std::u16string(t); }

TEST(ViewerGeometry, FittedRectangles) {
  PaneRect r = FitPictureRect(4000, 3000, 800, 800);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 100);
  EXPECT_EQ(r.w, 800);
  EXPECT_EQ(r.h, 600);
  // Portrait pictures fill the height and are centred across.
  r = FitPictureRect(3000, 4000, 800, 800);
  EXPECT_EQ(r.x, 100);
  EXPECT_EQ(r.w, 600);
  EXPECT_EQ(r.h, 800);
  // Small pictures are enlarged.
  r = FitPictureRect(88, 60, 880, 600);
  EXPECT_EQ(r.w, 880);
  EXPECT_EQ(r.h, 600);
  // Zero sizes (a minimised window, an empty picture) give nothing and divide by nothing.
  for (PaneRect e : {FitPictureRect(4000, 3000, 0, 0), FitPictureRect(0, 3000, 800, 600),
                     FitPictureRect(4000, 3000, -5, 600)})
    EXPECT_EQ(e.w * e.h, 0);
  // One precision everywhere: the fitted side never leaves the pane, over many sizes.
  for (int W = 1; W < 5000; W += 37)
    for (int H = 1; H < 5000; H += 41) {
      PaneRect f = FitPictureRect(static_cast<float>(W), static_cast<float>(H), 797, 601);
      ASSERT_LE(f.w, 797);
      ASSERT_LE(f.h, 601);
      ASSERT_GE(f.x, 0);
      ASSERT_GE(f.y, 0);
      ASSERT_TRUE(f.w == 797 || f.h == 601);
      // Aspect kept within a pixel of truncation.
      const double wantW = 601.0 * W / H, wantH = 797.0 * H / W;
      if (f.h == 601 && f.w < 797) ASSERT_LE(std::fabs(f.w - wantW), 1.0);
      if (f.w == 797 && f.h < 601) ASSERT_LE(std::fabs(f.h - wantH), 1.0);
    }
}

TEST(ViewerGeometry, ZoomStepAndStatus) {
  int32_t offset = 0;
  EXPECT_EQ(ClampZoomStep(10, &offset), 10);
  EXPECT_FLOAT_EQ(ZoomFactorOfStep(10, false), 1.0f);
  char16_t text[32];
  FormatZoomStatusText(ZoomFactorOfStep(10, false), text, 32);
  EXPECT_EQ(Text(text), u"\tZOOM \u00D71.00");
  offset = 500;  // the wheel turned far
  EXPECT_EQ(ClampZoomStep(10, &offset), 80);
  EXPECT_EQ(offset, 70);
  FormatZoomStatusText(ZoomFactorOfStep(80, true), text, 32);
  EXPECT_EQ(Text(text), u"\tZOOM \u00D716.00");
  offset = -500;
  EXPECT_EQ(ClampZoomStep(10, &offset), 1);
  EXPECT_EQ(offset, -9);
  FormatZoomStatusText(ZoomFactorOfStep(1, false), text, 32);
  EXPECT_EQ(Text(text), u"\tZOOM \u00D70.10");
  // A short buffer is cut, never overrun.
  char16_t small[5];
  FormatZoomStatusText(1.0f, small, 5);
  EXPECT_EQ(Text(small), u"\tZOO");
}

TEST(ViewerGeometry, ZoomWindowAndPan) {
  // 4000 wide picture in an 800 pane at 1:1: the window is 800 around the centre.
  float centre = 2000;
  ZoomAxis a = ComputeZoomAxis(4000, 800, 1, 1.0f, &centre, 0);
  EXPECT_EQ(a.window, 800);
  EXPECT_EQ(a.start, 1600);
  EXPECT_EQ(a.outPos, 0);
  EXPECT_EQ(a.outSize, 800);
  // Panning past the edge clamps the centre to half a window from it.
  a = ComputeZoomAxis(4000, 800, 1, 1.0f, &centre, -5000);
  EXPECT_FLOAT_EQ(centre, 400);
  EXPECT_EQ(a.start, 0);
  a = ComputeZoomAxis(4000, 800, 1, 1.0f, &centre, 9000);
  EXPECT_FLOAT_EQ(centre, 3600);
  EXPECT_EQ(a.start, 3200);
  // A pan of 100 pane pixels on a half-size development moves 50 picture pixels.
  centre = 2000;
  ComputeZoomAxis(4000, 800, 2, 1.0f, &centre, 100);
  EXPECT_FLOAT_EQ(centre, 2050);
  // A picture narrower than the pane keeps margins; the veil rectangle covers the picture
  // as drawn, with the reduction factor.
  centre = 0;
  a = ComputeZoomAxis(300, 800, 1, 1.0f, &centre, 0);
  EXPECT_EQ(a.start, -250);
  EXPECT_EQ(a.outPos, 250);
  EXPECT_EQ(a.outSize, 300);
  a = ComputeZoomAxis(300, 800, 2, 1.0f, &centre, 0);
  EXPECT_EQ(a.window, 400);
  EXPECT_EQ(a.start, -50);
  EXPECT_EQ(a.outPos, 100);
  EXPECT_EQ(a.outSize, 600);
  // No pane, no division.
  a = ComputeZoomAxis(300, 0, 1, 1.0f, &centre, 0);
  EXPECT_EQ(a.window, 0);
}

TEST(ViewerGeometry, LoupeAndGrid) {
  PaneRect fitted = FitPictureRect(4000, 3000, 800, 800);
  int32_t sx, sy;
  LoupeSourcePoint(fitted, 4000, 3000, 400, 400, &sx, &sy);
  EXPECT_EQ(sx, 2000);
  EXPECT_EQ(sy, 1500);
  LoupeSourcePoint(PaneRect{0, 0, 0, 0}, 4000, 3000, 10, 10, &sx, &sy);
  EXPECT_EQ(sx, 0);
  int32_t at[32];
  ASSERT_EQ(GridLinePositions(200, at, 32), 4);  // 200 % 64 = 8: lines at 4, 68, 132, 196
  EXPECT_EQ(at[0], 4);
  EXPECT_EQ(at[3], 196);
  EXPECT_EQ(GridLinePositions(0, at, 32), 0);
}

TEST(ViewerGeometry, OverlayTexts) {
  char16_t text[64];
  FormatBrightnessText(96, text, 64);
  EXPECT_EQ(Text(text), u"Ev:+1.0");
  FormatBrightnessText(-48, text, 64);
  EXPECT_EQ(Text(text), u"Ev:-0.5");
  FormatBrightnessText(192, text, 64);
  EXPECT_EQ(Text(text), u"Ev:+2.0");

  InfoLineFields f{u"IMG_1.JPG", u"4000*3000", u"2024/01/02 03:04:05", u"EOS", u"1/125", u"F5.6", u"Manual",
                   u"200", u"+1/3", u"50mm", u"Off", u"EF50mm"};
  char16_t line[1536];
  FormatInfoLineText(f, line, 1536);
  EXPECT_EQ(Text(line),
            u"File : IMG_1.JPG  4000*3000 Pixel  Date : 2024/01/02 03:04:05\nEOS  1/125(sec)  F5.6  Manual  "
            u"ISO200  Ev+1/3  50mm  Flash : Off\nLens : EF50mm");
  InfoLineFields empty{u"A.JPG", u"", nullptr, u"", u"", u"", u"", u"", u"", u"", u"", u""};
  FormatInfoLineText(empty, line, 1536);
  EXPECT_EQ(Text(line), u"File : A.JPG    \n              \n");
}

TEST(HistogramBins, CountsByStrideAndScales) {
  // A 3 x 2 picture: rows of 9 bytes padded to a stride of 12; the padding must not count.
  std::vector<uint8_t> px(24, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = &px[y * 12 + x * 3];
      p[0] = 10;   // blue
      p[1] = 20;   // green
      p[2] = static_cast<uint8_t>(30 + x);  // red
    }
  HistogramBins b;
  CountHistogramBins(px.data(), 12, 3, 2, &b);
  EXPECT_EQ(b.bins[2][10], 4096);
  EXPECT_EQ(b.bins[1][20], 4096);
  EXPECT_EQ(b.bins[0][30], static_cast<int32_t>(2 * (4096.0f / 6.0f)));
  EXPECT_EQ(b.bins[0][0xEE] + b.bins[1][0xEE] + b.bins[2][0xEE], 0);
  // A stride shorter than a row is refused.
  CountHistogramBins(px.data(), 8, 3, 2, &b);
  EXPECT_EQ(b.bins[2][10], 0);
  EXPECT_EQ(ClampHistogramBar(4096), 64);
  EXPECT_EQ(ClampHistogramBar(12), 12);
}

struct FakeSlot {
  const int* entry;
  int tag;
};
const int* EntryOf(const FakeSlot& s) { return s.entry; }

TEST(HistogramBins, SlotsFoundAgainByExchange) {
  int a = 1, b = 2, c = 3;
  FakeSlot slots[4] = {{&a, 0}, {&b, 1}, {nullptr, 2}, {&c, 3}};
  // Slot 0 wants b, held in slot 1: exchanged whole, not recomputed.
  EXPECT_TRUE((BringHistogramSlot<FakeSlot, int>(slots, 0, &b, EntryOf)));
  EXPECT_EQ(slots[0].tag, 1);
  EXPECT_EQ(slots[1].tag, 0);
  // An entry found nowhere: slot 3's content moves in and slot 0's old one stays in slot 3.
  int d = 4;
  EXPECT_FALSE((BringHistogramSlot<FakeSlot, int>(slots, 0, &d, EntryOf)));
  EXPECT_EQ(slots[3].entry, &b);
  EXPECT_EQ(slots[0].entry, &c);
  EXPECT_FALSE((BringHistogramSlot<FakeSlot, int>(slots, 7, &d, EntryOf)));
}

TEST(PrefetchRadius, FollowsMemory) {
  const uint64_t limit = 64ull << 20, plenty = 8ull << 30, little = 16ull << 20;
  // One pane and little memory: stays 1.
  int32_t n = 1;
  for (int i = 0; i < 5; ++i) n = NextPrefetchRadius(n, little, limit, 1, 2);
  EXPECT_EQ(n, 1);
  // Four panes, level 9, plenty: grows one per check to 14 (a ring of 29).
  n = 1;
  for (int i = 0; i < 40; ++i) n = NextPrefetchRadius(n, plenty, limit, 4, 9);
  EXPECT_EQ(n, 14);
  EXPECT_EQ(NextPrefetchRadius(13, plenty, limit, 4, 9), 14);
  // Shrinking: never below half the panes, never above 10.
  EXPECT_EQ(NextPrefetchRadius(14, little, limit, 4, 9), 10);
  EXPECT_EQ(NextPrefetchRadius(2, little, limit, 4, 9), 2);
  EXPECT_EQ(NextPrefetchRadius(5, little, limit, 4, 9), 4);
  // Between the limit and 512 MiB nothing changes.
  EXPECT_EQ(NextPrefetchRadius(5, 256ull << 20, limit, 4, 9), 5);
  EXPECT_TRUE(PaneResultWantsRepeat(-1));
  EXPECT_TRUE(PaneResultWantsRepeat(0));
  EXPECT_FALSE(PaneResultWantsRepeat(1));
  EXPECT_FALSE(PaneResultWantsRepeat(-2));
}

}  // namespace
