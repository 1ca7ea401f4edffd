// The rawdecoder module: its C source against the host LibRaw (native build, sanitizers on), and
// the MinGW-built rawdecoder.dll under Wine.
#define BRN_RAWDECODER_MODULE
#include "rawdecoder/rawdecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "tests/support/dng_writer.h"

namespace {

using brn_test::MakeSyntheticDng;
using brn_test::SyntheticDng;

// Opens and develops a buffer, copying the rows out.
struct Outcome {
  int32_t openResult = -1, developResult = -1;
  RawDecoderInfo info = {};
  RawDecoderImage image = {};
  std::vector<uint8_t> rows;
};

Outcome Develop(const std::vector<uint8_t>& file, uint32_t mode) {
  Outcome r;
  RawDecoder* d = nullptr;
  r.openResult = RawDecoderOpen(file.data(), static_cast<uint32_t>(file.size()), &r.info, &d);
  if (r.openResult != RAWDEC_OK) {
    EXPECT_EQ(d, nullptr);
    return r;
  }
  r.developResult = RawDecoderDevelop(d, mode, &r.image);
  if (r.developResult == RAWDEC_OK) {
    r.rows.resize(size_t{r.image.rows} * r.image.columns * r.image.samples);
    const auto size = static_cast<uint32_t>(r.rows.size());
    EXPECT_EQ(RawDecoderCopyRows(d, r.rows.data(), size - 1), RAWDEC_FAILED);  // too small a buffer
    EXPECT_EQ(RawDecoderCopyRows(d, r.rows.data(), size), RAWDEC_OK);
  }
  RawDecoderClose(d);
  return r;
}

TEST(RawDecoderModule, EighthSizeAveragesHalfSizeBlocks) {
  SyntheticDng shot;
  // Half size 36 x 25: the last partial block row is dropped. The scene's edge falls between
  // 2x2 site blocks, so the half-size pixels agree whether the greens are kept apart (mode 0)
  // or not (mode 3) up to rounding.
  shot.width = 72;
  shot.height = 50;
  const auto file = MakeSyntheticDng(shot);
  const Outcome half = Develop(file, 0), eighth = Develop(file, 3);
  ASSERT_EQ(half.developResult, RAWDEC_OK);
  ASSERT_EQ(eighth.developResult, RAWDEC_OK);
  ASSERT_EQ(eighth.image.columns, half.image.columns / 4);
  ASSERT_EQ(eighth.image.rows, half.image.rows / 4);
  const uint32_t w = half.image.columns;
  for (uint32_t r = 0; r < eighth.image.rows; ++r)
    for (uint32_t c = 0; c < eighth.image.columns; ++c)
      for (uint32_t k = 0; k < 3; ++k) {
        uint32_t sum = 0;
        for (uint32_t y = 4 * r; y < 4 * r + 4; ++y)
          for (uint32_t x = 4 * c; x < 4 * c + 4; ++x) sum += half.rows[(y * w + x) * 3 + k];
        EXPECT_NEAR(eighth.rows[(r * eighth.image.columns + c) * 3 + k], (sum + 8) / 16, 1) << r << "," << c;
      }
}

void SetZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone ? zone : "");
  _tzset();
#else
  if (zone) setenv("TZ", zone, 1); else unsetenv("TZ");
  tzset();
#endif
}

TEST(RawDecoderModule, CaptureTimeIndependentOfTimeZone) {
  const char* saved = getenv("TZ");
  const std::string restore = saved ? saved : "";
  // A plain summer time, a time inside the spring-forward gap of EST5EDT and NZST-12NZDT
  // (mktime moves it an hour on), and one inside the autumn overlap.
  const struct {
    const char* text;
    int32_t fields[6];
  } times[] = {{"2021:07:31 23:59:58", {2021, 7, 31, 23, 59, 58}},
               {"2021:03:14 02:30:00", {2021, 3, 14, 2, 30, 0}},
               {"2021:09:26 02:15:09", {2021, 9, 26, 2, 15, 9}},
               {"2021:11:07 01:30:00", {2021, 11, 7, 1, 30, 0}}};
  for (const auto& when : times) {
    SyntheticDng shot;
    shot.dateTime = when.text;
    const auto file = MakeSyntheticDng(shot);
    // The Windows C library reads the plain forms only.
#ifdef _WIN32
    for (const char* zone : {"JST-9", "UTC", "EST5EDT", "NZST-12NZDT"}) {
#else
    for (const char* zone : {"JST-9", "UTC", "EST5EDT", "NZST-12NZDT,M9.5.0,M4.1.0/3", "<-0330>3:30"}) {
#endif
      SetZone(zone);
      RawDecoderInfo info;
      RawDecoder* d = nullptr;
      ASSERT_EQ(RawDecoderOpen(file.data(), static_cast<uint32_t>(file.size()), &info, &d), RAWDEC_OK);
      RawDecoderClose(d);
      const int32_t fields[6] = {info.year, info.month, info.day, info.hour, info.minute, info.second};
      for (int i = 0; i < 6; ++i) EXPECT_EQ(fields[i], when.fields[i]) << when.text << " " << zone << " field " << i;
      EXPECT_STREQ(getenv("TZ"), zone);  // the decoder leaves the zone alone
    }
  }
  SetZone(saved ? restore.c_str() : nullptr);
}

TEST(RawDecoderModule, RejectsBadInput) {
  const std::string text = "no raw here, just text that is long enough to be looked at";
  const std::vector<uint8_t> notRaw(text.begin(), text.end());
  SyntheticDng huge;
  huge.width = huge.height = 40000;
  huge.pixels = false;
  SyntheticDng small;
  auto cut = MakeSyntheticDng(small);
  cut.resize(cut.size() / 2);  // pixel data cut short: develops as far as it goes

  EXPECT_NE(Develop(notRaw, 0).openResult, RAWDEC_OK);
  const Outcome big = Develop(MakeSyntheticDng(huge), 0);
  EXPECT_TRUE(big.openResult != RAWDEC_OK || big.developResult == RAWDEC_TOO_LARGE);
  const Outcome partial = Develop(cut, 1);
  if (partial.developResult == RAWDEC_OK) EXPECT_EQ(partial.rows.size(), 64u * 48 * 3);

  RawDecoderInfo info;
  RawDecoder* d = reinterpret_cast<RawDecoder*>(1);
  EXPECT_EQ(RawDecoderOpen(nullptr, 10, &info, &d), RAWDEC_FAILED);
  EXPECT_EQ(d, nullptr);
  EXPECT_EQ(RawDecoderOpen(notRaw.data(), 0, &info, &d), RAWDEC_FAILED);
  const auto file = MakeSyntheticDng(small);
  ASSERT_EQ(RawDecoderOpen(file.data(), static_cast<uint32_t>(file.size()), &info, &d), RAWDEC_OK);
  RawDecoderImage image;
  EXPECT_EQ(RawDecoderDevelop(d, 4, &image), RAWDEC_FAILED);
  uint8_t byte;
  EXPECT_EQ(RawDecoderCopyRows(d, &byte, 1), RAWDEC_FAILED);  // nothing developed yet
  RawDecoderClose(d);
  RawDecoderClose(nullptr);
}

}  // namespace
