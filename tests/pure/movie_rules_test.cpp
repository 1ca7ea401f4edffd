// The numbers of the movie strip and the frame capture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/pure/movie_rules.h"

namespace {

std::u16string Time(int32_t seconds) {
  char16_t text[16];
  FormatMovieTime(seconds, text, 16);
  return text;
}

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

TEST(MovieRules, PositionScaleTimeTextAndVolume) {
  EXPECT_EQ(MoviePositionScale(100), 300);
  EXPECT_EQ(MoviePositionScale(7), 4285);
  EXPECT_EQ(MoviePositionScale(60), 499);  // single precision: 1 / 0.002f falls just short of 500
  EXPECT_EQ(60 * MoviePositionScale(60), 29940);
  EXPECT_EQ(MoviePositionScale(1), 30000);
  // Nothing divides by a zero or negative length; a very long movie gets one step a second.
  EXPECT_EQ(MoviePositionScale(0), 1);
  EXPECT_EQ(MoviePositionScale(-4), 1);
  EXPECT_EQ(MoviePositionScale(100000), 1);

  EXPECT_EQ(Time(3661), u"1:01:01");
  EXPECT_EQ(Time(0), u"0:00:00");
  EXPECT_EQ(Time(59), u"0:00:59");
  EXPECT_EQ(Time(-3), u"0:00:00");
  char16_t small[4];
  FormatMovieTime(3661, small, 4);
  EXPECT_EQ(std::u16string(small), u"1:0");

  EXPECT_EQ(MovieVolumeToDirectShow(-127), -10000);
  EXPECT_EQ(MovieVolumeToDirectShow(-40), -1200);
  EXPECT_EQ(MovieVolumeToDirectShow(0), 0);
  EXPECT_EQ(MovieVolumeToDirectShow(-126), -3780);
  EXPECT_EQ(MovieVolumeToDirectShow(-200), -10000);
}

TEST(MovieRules, GrabTimesSkipsAndCaptureSizes) {
  EXPECT_EQ(MovieFrameTime(5, 3), 2);  // a 3.9-second movie gives its frame at second 2
  EXPECT_EQ(MovieFrameTime(5, 100), 5);
  EXPECT_EQ(MovieFrameTime(-1, 100), 0);
  EXPECT_EQ(MovieFrameTime(5, 0), 0);  // no length known: the first frame, never -1
  EXPECT_EQ(MovieFrameTime(5, 4), 3);

  EXPECT_DOUBLE_EQ(MovieSkipPosition(29, 30, 1), 30);  // clamped to the length
  EXPECT_DOUBLE_EQ(MovieSkipPosition(0.5, 30, -1), 0);
  EXPECT_DOUBLE_EQ(MovieSkipPosition(10, 30, 1), 11);
  EXPECT_DOUBLE_EQ(MovieSkipPosition(10, 30, -1), 9);

  int32_t w = 0, h = 0;
  ASSERT_TRUE(MovieCaptureSize(1920, 1080, true, 640, &w, &h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 360);
  ASSERT_TRUE(MovieCaptureSize(1080, 1920, true, 640, &w, &h));
  EXPECT_EQ(w, 360);
  EXPECT_EQ(h, 640);
  ASSERT_TRUE(MovieCaptureSize(320, 240, false, 640, &w, &h));
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  ASSERT_TRUE(MovieCaptureSize(4000, 1, true, 640, &w, &h));
  EXPECT_EQ(h, 1);
  EXPECT_FALSE(MovieCaptureSize(0, 240, true, 640, &w, &h));
  EXPECT_FALSE(MovieCaptureSize(320, 0, false, 640, &w, &h));
  EXPECT_FALSE(MovieCaptureSize(320, 240, true, 0, &w, &h));
}

TEST(MovieRules, BmpFileHeaderCountsTheWholeFileAndTheColourTable) {
  uint8_t dib[40 + 12] = {};
  dib[0] = 40;
  dib[14] = 24;  // 24 bits, no colour table
  uint8_t header[14];
  ASSERT_TRUE(BuildBmpFileHeader(dib, sizeof dib, header));
  EXPECT_EQ(header[0], 'B');
  EXPECT_EQ(header[1], 'M');
  EXPECT_EQ(Get32(header + 2), 14u + sizeof dib);
  EXPECT_EQ(Get32(header + 6), 0u);
  EXPECT_EQ(Get32(header + 10), 54u);

  uint8_t paletted[40 + 1024 + 16] = {};
  paletted[0] = 40;
  paletted[14] = 8;  // 256 colours, count 0 meaning all of them
  ASSERT_TRUE(BuildBmpFileHeader(paletted, sizeof paletted, header));
  EXPECT_EQ(Get32(header + 10), 14u + 40 + 1024);

  paletted[16] = 3;  // bit fields: three masks behind the plain header
  paletted[14] = 32;
  ASSERT_TRUE(BuildBmpFileHeader(paletted, sizeof paletted, header));
  EXPECT_EQ(Get32(header + 10), 14u + 40 + 12);

  // A header that claims more than the block holds, or a short block, gives no file.
  paletted[14] = 8;
  paletted[16] = 0;
  EXPECT_FALSE(BuildBmpFileHeader(paletted, 40 + 100, header));
  dib[0] = 200;
  EXPECT_FALSE(BuildBmpFileHeader(dib, sizeof dib, header));
  EXPECT_FALSE(BuildBmpFileHeader(dib, 20, header));
  EXPECT_FALSE(BuildBmpFileHeader(nullptr, 60, header));
}

}  // namespace
