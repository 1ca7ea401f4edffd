#include "core/pure/raw_tiff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using brn::RawTiffFields;

struct Entry {
  uint32_t tag, type, count, value;
  bool operator==(const Entry& o) const {
    return tag == o.tag && type == o.type && count == o.count && value == o.value;
  }
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << "{" << e.tag << "," << e.type << "," << e.count << "," << e.value << "}";
}

uint32_t U16(const uint8_t* b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const uint8_t* b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
uint32_t BE32(const uint8_t* b, size_t at) {
  return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

std::vector<Entry> Directory(const uint8_t* h, size_t at) {
  std::vector<Entry> entries;
  for (uint32_t i = 0, n = U16(h, at); i < n; ++i) {
    const size_t e = at + 2 + 12 * i;
    entries.push_back({U16(h, e), U16(h, e + 2), U32(h, e + 4), U32(h, e + 8)});
  }
  return entries;
}

void SetTime(RawTiffFields& f, int32_t y, int32_t mo, int32_t d, int32_t h, int32_t mi, int32_t s) {
  f.year = y;
  f.month = mo;
  f.day = d;
  f.hour = h;
  f.minute = mi;
  f.second = s;
}

RawTiffFields Sample() {
  RawTiffFields f;
  f.rows = 1000;
  f.columns = 1500;
  strcpy(f.make, "Maker");
  strcpy(f.model, "Model X");
  strcpy(f.description, "scene");
  strcpy(f.artist, "Someone");
  SetTime(f, 2021, 3, 4, 5, 6, 7);
  f.shutter = 1.0f / 250;
  f.aperture = 2.8f;
  f.focalLength = 50;
  f.iso = 400;
  return f;
}

TEST(RawTiff, FirstDirectoryByVariant) {
  const uint32_t R = 1000, C = 1500;
  // Entries shared by every variant; S-dependent ones are filled per case.
  auto expected = [&](uint32_t s, bool profile, bool gps) {
    std::vector<Entry> e = {{254, 4, 1, 0},
                            {256, 4, 1, C},
                            {257, 4, 1, R},
                            {258, 3, s, s == 3 ? 468u : 8u},
                            {259, 3, 1, 1},
                            {262, 3, 1, s > 1 ? 2u : 1u},
                            {270, 2, 512, 620},
                            {271, 2, 64, 1132},
                            {272, 2, 64, 1196},
                            {273, 4, 1, 1376u + (profile ? 476u : 0u)},
                            {277, 3, 1, s},
                            {278, 4, 1, R},
                            {279, 4, 1, R * C * s},
                            {282, 5, 1, 476},
                            {283, 5, 1, 484},
                            {284, 3, 1, 1},
                            {296, 3, 1, 2},
                            {305, 2, 32, 1260},
                            {306, 2, 20, 1292},
                            {315, 2, 64, 1312},
                            {34665, 4, 1, 294}};
    if (profile) e.push_back({34675, 7, 476, 1376});
    if (gps) e.push_back({34853, 4, 1, 346});
    return e;
  };
  struct Case {
    uint32_t samples;
    bool profile, gps;
  } cases[] = {{3, true, true}, {3, true, false}, {3, false, true}, {1, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.samples) + (c.profile ? " profile" : "") + (c.gps ? " gps" : ""));
    RawTiffFields f = Sample();
    f.samples = c.samples;
    f.hasProfile = c.profile;
    if (c.gps) f.gps[1] = 1;
    uint8_t h[brn::kRawTiffHeaderSize];
    EXPECT_EQ(brn::BuildTiffHeader(f, h), c.profile ? 476u : 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(h), 4), std::string("II*\0", 4));
    EXPECT_EQ(U32(h, 4), 10u);
    EXPECT_EQ(Directory(h, 10), expected(c.samples, c.profile, c.gps));
    EXPECT_EQ(U32(h, 288), 0u);  // no next directory, and the unused slots stay zero
    EXPECT_EQ(U32(h, 12 + 12 * U16(h, 10)), 0u);
    EXPECT_EQ(U16(h, 346), c.gps ? 10u : 0u);
  }
}

TEST(RawTiff, ExifDirectoryAndValues) {
  RawTiffFields f = Sample();
  uint8_t h[brn::kRawTiffHeaderSize];
  brn::BuildTiffHeader(f, h);
  const std::vector<Entry> exif = {{33434, 5, 1, 492}, {33437, 5, 1, 500}, {34855, 3, 1, 400}, {37386, 5, 1, 508}};
  EXPECT_EQ(Directory(h, 294), exif);
  const uint32_t rationals[][2] = {{468, 0x00080008}, {472, 0x00080008}, {476, 300}, {480, 1}, {484, 300},
                                   {488, 1},          {492, 4000},       {496, 1000000}, {500, 2800000},
                                   {504, 1000000},    {508, 50000000},   {512, 1000000}};
  for (const auto& r : rationals) EXPECT_EQ(U32(h, r[0]), r[1]) << "offset " << r[0];
}

TEST(RawTiff, MicroRationalTruncatesAndClamps) {
  const struct {
    float value;
    uint32_t expected;
  } cases[] = {{1.0f / 250, 4000},
               {1.0f / 3, 333333},
               {30.0f, 30000000},
               {0.0f, 0},
               {-2.0f, 0},
               {std::numeric_limits<float>::quiet_NaN(), 0},
               {std::numeric_limits<float>::infinity(), 0xFFFFFFFFu},
               {5000.0f, 0xFFFFFFFFu}};  // 5,000 mm does not fit the numerator
  for (const auto& c : cases) EXPECT_EQ(brn::MicroRational(c.value), c.expected) << c.value;

  RawTiffFields f = Sample();
  const struct {
    float iso;
    uint32_t expected;
  } isos[] = {{100.7f, 100}, {-5.0f, 0}, {204800.0f, 65535}};
  for (const auto& c : isos) {
    f.iso = c.iso;
    uint8_t h[brn::kRawTiffHeaderSize];
    brn::BuildTiffHeader(f, h);
    EXPECT_EQ(U32(h, 296 + 24 + 8), c.expected) << c.iso;
  }
}

TEST(RawTiff, TextFieldsAreBoundedAndDateIsFormatted) {
  RawTiffFields f = Sample();
  memset(f.description, 'd', sizeof f.description);  // no terminator: fills the field exactly
  memset(f.make, 'm', sizeof f.make);
  memset(f.artist, 'a', sizeof f.artist);
  SetTime(f, 987, 12, 31, 23, 59, 58);
  uint8_t h[brn::kRawTiffHeaderSize];
  brn::BuildTiffHeader(f, h);
  const struct {
    uint32_t at, size;
    std::string text;
  } fields[] = {{620, 512, std::string(512, 'd')}, {1132, 64, std::string(64, 'm')},
                {1196, 64, "Model X"},               {1260, 32, "Tavelund App Ver2.08"},
                {1292, 20, "0987:12:31 23:59:58"},   {1312, 64, std::string(64, 'a')}};
  for (const auto& t : fields) {
    const std::string raw(reinterpret_cast<char*>(h) + t.at, t.size);
    EXPECT_EQ(raw.substr(0, raw.find('\0')), t.text) << "offset " << t.at;
  }
  // Out-of-range fields still fit the 20 bytes with a terminator.
  f.year = -2147483647 - 1;
  brn::BuildTiffHeader(f, h);
  EXPECT_EQ(h[1311], 0);
}

TEST(RawTiff, GpsDirectoryAndBlock) {
  RawTiffFields f = Sample();
  for (uint32_t i = 0; i < 26; ++i) f.gps[i] = 0x01010101u * (i + 1);
  f.gps[29] = 'N';
  f.gps[30] = 'W';
  f.gps[31] = 1;
  f.gps[26] = f.gps[27] = f.gps[28] = 0xDEADBEEF;  // not part of the block
  uint8_t h[brn::kRawTiffHeaderSize];
  brn::BuildTiffHeader(f, h);
  const std::vector<Entry> gps = {{0, 1, 4, 0x0202},        {1, 2, 2, 'N'},           {2, 5, 3, 516},
                                  {3, 2, 2, 'W'},           {4, 5, 3, 540},           {5, 1, 1, 1},
                                  {6, 5, 1, 588},           {7, 5, 3, 564},           {18, 2, 12, 596},
                                  {29, 2, 12, 608}};
  EXPECT_EQ(Directory(h, 346), gps);
  for (uint32_t i = 0; i < 26; ++i) EXPECT_EQ(U32(h, 516 + 4 * i), f.gps[i]) << i;
  EXPECT_EQ(h[620], 's');  // the description follows the block untouched
}

TEST(RawTiff, IccProfile) {
  uint8_t p[brn::kRawIccProfileSize];
  brn::BuildIccProfile(p);
  EXPECT_EQ(BE32(p, 0), 476u);
  EXPECT_EQ(BE32(p, 8), 0x02100000u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 12, 12), "mntrRGB XYZ ");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 36, 4), "acsp");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 48, 4), "none");
  EXPECT_EQ(BE32(p, 68), 0xF6D6u);
  EXPECT_EQ(BE32(p, 72), 0x10000u);
  EXPECT_EQ(BE32(p, 76), 0xD32Du);
  for (uint32_t at = 80; at < 128; ++at) EXPECT_EQ(p[at], 0) << at;
  EXPECT_EQ(BE32(p, 128), 10u);
  const struct {
    const char* sig;
    uint32_t offset, size;
  } tags[] = {{"cprt", 252, 36}, {"desc", 288, 40}, {"wtpt", 328, 20}, {"bkpt", 348, 20}, {"rTRC", 368, 14},
              {"gTRC", 384, 14}, {"bTRC", 400, 14}, {"rXYZ", 416, 20}, {"gXYZ", 436, 20}, {"bXYZ", 456, 20}};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 132 + 12 * i, 4), tags[i].sig);
    EXPECT_EQ(BE32(p, 136 + 12 * i), tags[i].offset);
    EXPECT_EQ(BE32(p, 140 + 12 * i), tags[i].size);
  }
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 252, 4), "text");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 260, 17), std::string("Tavelund Raw App\0", 17));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 288, 4), "desc");
  EXPECT_EQ(BE32(p, 296), 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 300, 5), std::string("sRGB\0", 5));
  EXPECT_EQ(BE32(p, 336), 0xF351u);  // white point
  EXPECT_EQ(BE32(p, 340), 0x10000u);
  EXPECT_EQ(BE32(p, 344), 0x116CCu);
  for (uint32_t at = 348 + 4; at < 368; ++at) EXPECT_EQ(p[at], 0) << at;  // black point
  for (uint32_t at : {368u, 384u, 400u}) {
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + at, 4), "curv");
    EXPECT_EQ(BE32(p, at + 8), 1u);
    EXPECT_EQ(p[at + 12] << 8 | p[at + 13], 495);
  }
  // Colorants: the sRGB primaries adapted to D50, times 65536, rounded.
  const double primaries[3][3] = {
      {0.436083, 0.222507, 0.013930}, {0.385083, 0.716888, 0.097097}, {0.143055, 0.060608, 0.714022}};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 416 + 20 * c, 4), "XYZ ");
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(BE32(p, 416 + 20 * c + 8 + 4 * k), static_cast<uint32_t>(std::lround(primaries[c][k] * 65536)));
  }
}

TEST(RawTiff, BlockSize) {
  const struct {
    uint32_t rows, columns, samples;
    bool profile, ok;
    uint32_t size;
  } cases[] = {{1000, 1500, 3, true, true, 1376 + 476 + 4500000 + 1024},
               {250, 375, 3, true, true, 1376 + 476 + 281250 + 1024},
               {10, 10, 1, false, true, 1376 + 100 + 1024},
               {0, 10, 3, true, false, 0},
               {37838, 37838, 3, true, false, 0},  // beyond 32 bits
               {65535, 65535, 3, true, false, 0}};
  for (const auto& c : cases) {
    uint32_t size = 0;
    EXPECT_EQ(brn::RawTiffBlockSize(c.rows, c.columns, c.samples, c.profile, &size), c.ok);
    if (c.ok) EXPECT_EQ(size, c.size);
  }
}

}  // namespace
