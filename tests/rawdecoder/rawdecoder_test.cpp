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
  // A binary stamp (seconds of the camera's clock) reads the same in every zone too.
  const auto cine = brn_test::MakeSyntheticCine(64, 48, 1600000000u);  // 2020-09-13 12:26:40
  for (const char* zone : {"JST-9", "UTC", "EST5EDT"}) {
    SetZone(zone);
    RawDecoderInfo info;
    RawDecoder* d = nullptr;
    ASSERT_EQ(RawDecoderOpen(cine.data(), static_cast<uint32_t>(cine.size()), &info, &d), RAWDEC_OK);
    RawDecoderClose(d);
    const int32_t fields[6] = {info.year, info.month, info.day, info.hour, info.minute, info.second};
    const int32_t expected[6] = {2020, 9, 13, 12, 26, 40};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fields[i], expected[i]) << "binary stamp, " << zone << " field " << i;
    EXPECT_STREQ(getenv("TZ"), zone);
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

// X3F files are read by LibRaw's X3F decoder, which the module is built with (the host LibRaw of
// the native build is not); damaged ones fail or develop as far as they go, without reading
// outside the file.
TEST(RawDecoderModule, X3fFilesIdentifiedAndDamagedOnesHandled) {
  const auto x3f = brn_test::MakeSyntheticX3f(64, 48, 1600000000u);
#ifdef _WIN32
  {
    RawDecoderInfo info;
    RawDecoder* d = nullptr;
    ASSERT_EQ(RawDecoderOpen(x3f.data(), static_cast<uint32_t>(x3f.size()), &info, &d), RAWDEC_OK);
    EXPECT_STREQ(info.make, "Sigma");
    EXPECT_STREQ(info.model, "SD10");
    EXPECT_EQ(info.rawWidth, 64u);
    EXPECT_EQ(info.rawHeight, 48u);
    // The capture time is a count of seconds, the camera's clock.
    EXPECT_EQ(info.year, 2020);
    EXPECT_EQ(info.hour, 12);
    EXPECT_EQ(info.second, 40);
    RawDecoderClose(d);
    // Three colours at every site: every mode gives the whole sensor.
    for (uint32_t mode : {0u, 1u, 3u}) {
      const Outcome o = Develop(x3f, mode);
      ASSERT_EQ(o.developResult, RAWDEC_OK) << mode;
      EXPECT_EQ(o.image.columns, 64u);
      EXPECT_EQ(o.image.rows, 48u);
      EXPECT_EQ(o.image.samples, 3u);
      EXPECT_NE(o.image.hasProfile, 0u);
      const size_t left = (10 * 64 + 8) * 3, right = (10 * 64 + 56) * 3;
      EXPECT_GT(o.rows[left], o.rows[right]) << mode;
    }
  }
#endif
  // Cut anywhere, or with the directory, its entries or the sections' sizes damaged.
  std::vector<std::vector<uint8_t>> damaged;
  for (size_t n = 8; n < x3f.size(); n += 97) damaged.emplace_back(x3f.begin(), x3f.begin() + n);
  const size_t dir = x3f.size() - 4 - (12 + 2 * 12);
  for (size_t at : {dir + 8, dir + 12, dir + 16, dir + 24, dir + 28, x3f.size() - 4, size_t{40}, size_t{56}, size_t{60}}) {
    for (uint8_t value : {uint8_t{0xFF}, uint8_t{0x7F}, uint8_t{0x00}}) {
      auto bad = x3f;
      bad[at] = value;
      bad[at + 1] = value;
      bad[at + 3] = value;
      damaged.push_back(bad);
    }
  }
  for (const auto& bytes : damaged) {
    RawDecoderInfo info;
    RawDecoder* d = nullptr;
    if (RawDecoderOpen(bytes.data(), static_cast<uint32_t>(bytes.size()), &info, &d) != RAWDEC_OK) continue;
    RawDecoderImage image;
    if (RawDecoderDevelop(d, 0, &image) == RAWDEC_OK) {
      std::vector<uint8_t> rows(size_t{image.rows} * image.columns * image.samples);
      EXPECT_EQ(RawDecoderCopyRows(d, rows.data(), static_cast<uint32_t>(rows.size())), RAWDEC_OK);
    }
    RawDecoderClose(d);
  }
}

}  // namespace
