#include "core/pure/raw_tiff.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace brn {
namespace {

enum : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7 };

// Fixed places inside the header.
constexpr uint32_t kFirstDir = 10, kFirstDirSlots = 23;
constexpr uint32_t kExifDir = 294, kGpsDir = 346;
constexpr uint32_t kBitsAt = 468, kXResAt = 476, kYResAt = 484;
constexpr uint32_t kExposureAt = 492, kFNumberAt = 500, kFocalAt = 508;
constexpr uint32_t kGpsBlockAt = 516, kDescAt = 620, kMakeAt = 1132, kModelAt = 1196;
constexpr uint32_t kSoftwareAt = 1260, kDateAt = 1292, kArtistAt = 1312;
constexpr uint32_t kMicro = 1000000;

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}
void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Appends directory entries at a fixed place; the count goes in front of them.
struct DirWriter {
  uint8_t* base;
  uint32_t countAt;
  uint16_t count = 0;
  uint8_t* Entry(uint16_t tag, uint16_t type, uint32_t n) {
    uint8_t* e = base + countAt + 2 + 12u * count++;
    Put16(e, tag);
    Put16(e + 2, type);
    Put32(e + 4, n);
    Put16(base + countAt, count);
    return e + 8;
  }
  void Value(uint16_t tag, uint16_t type, uint32_t n, uint32_t value) { Put32(Entry(tag, type, n), value); }
};

void PutText(uint8_t* to, const char* from, size_t field) {
  size_t n = 0;
  while (n < field && from[n]) ++n;
  memcpy(to, from, n);
}

void PutRational(uint8_t* p, uint32_t numerator, uint32_t denominator) {
  Put32(p, numerator);
  Put32(p + 4, denominator);
}

}  // namespace

uint32_t MicroRational(float value) {
  const float scaled = value * static_cast<float>(kMicro);
  if (!(scaled > 0.0f)) return 0;  // also NaN
  if (scaled >= 4294967296.0f) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(scaled);
}

bool RawTiffBlockSize(uint32_t rows, uint32_t columns, uint32_t samples, bool hasProfile, uint32_t* size) {
  if (rows == 0 || columns == 0 || samples == 0) return false;
  const uint64_t total = uint64_t{kRawTiffHeaderSize} + (hasProfile ? kRawIccProfileSize : 0) +
                         uint64_t{rows} * columns * samples + kRawTiffSpareSize;
  if (total > 0xFFFFFFFFull) return false;
  *size = static_cast<uint32_t>(total);
  return true;
}

uint32_t BuildTiffHeader(const RawTiffFields& f, uint8_t* h) {
  memset(h, 0, kRawTiffHeaderSize);
  const uint32_t profile = f.hasProfile ? kRawIccProfileSize : 0;
  const bool hasGps = f.gps[1] != 0;
  const uint32_t s = f.samples;

  h[0] = 'I';
  h[1] = 'I';
  Put16(h + 2, 42);
  Put32(h + 4, kFirstDir);

  for (int i = 0; i < 4; ++i) Put16(h + kBitsAt + 2 * i, 8);
  PutRational(h + kXResAt, 300, 1);
  PutRational(h + kYResAt, 300, 1);
  PutRational(h + kExposureAt, MicroRational(f.shutter), kMicro);
  PutRational(h + kFNumberAt, MicroRational(f.aperture), kMicro);
  PutRational(h + kFocalAt, MicroRational(f.focalLength), kMicro);
  for (uint32_t i = 0; i < kRawGpsWords; ++i) Put32(h + kGpsBlockAt + 4 * i, f.gps[i]);
  PutText(h + kDescAt, f.description, sizeof f.description);
  PutText(h + kMakeAt, f.make, sizeof f.make);
  PutText(h + kModelAt, f.model, sizeof f.model);
  PutText(h + kSoftwareAt, "Tavelund App Ver2.08", 32);
  char date[20];
  snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", static_cast<int>(f.year),
           static_cast<int>(f.month), static_cast<int>(f.day), static_cast<int>(f.hour),
           static_cast<int>(f.minute), static_cast<int>(f.second));
  PutText(h + kDateAt, date, sizeof date);
  PutText(h + kArtistAt, f.artist, sizeof f.artist);

  DirWriter d{h, kFirstDir};
  d.Value(254, kLong, 1, 0);
  d.Value(256, kLong, 1, f.columns);
  d.Value(257, kLong, 1, f.rows);
  d.Value(258, kShort, s, s == 3 ? kBitsAt : 8);
  d.Value(259, kShort, 1, 1);
  d.Value(262, kShort, 1, s > 1 ? 2 : 1);
  d.Value(270, kAscii, 512, kDescAt);
  d.Value(271, kAscii, 64, kMakeAt);
  d.Value(272, kAscii, 64, kModelAt);
  d.Value(273, kLong, 1, kRawTiffHeaderSize + profile);
  d.Value(277, kShort, 1, s);
  d.Value(278, kLong, 1, f.rows);
  d.Value(279, kLong, 1, f.rows * f.columns * s);
  d.Value(282, kRational, 1, kXResAt);
  d.Value(283, kRational, 1, kYResAt);
  d.Value(284, kShort, 1, 1);
  d.Value(296, kShort, 1, 2);
  d.Value(305, kAscii, 32, kSoftwareAt);
  d.Value(306, kAscii, 20, kDateAt);
  d.Value(315, kAscii, 64, kArtistAt);
  d.Value(34665, kLong, 1, kExifDir);
  if (profile) d.Value(34675, kUndefined, profile, kRawTiffHeaderSize);
  if (hasGps) d.Value(34853, kLong, 1, kGpsDir);
  static_assert(kFirstDir + 2 + 12 * kFirstDirSlots == 288, "first directory slots");

  DirWriter exif{h, kExifDir};
  exif.Value(33434, kRational, 1, kExposureAt);
  exif.Value(33437, kRational, 1, kFNumberAt);
  float iso = f.iso;
  exif.Value(34855, kShort, 1, !(iso > 0) ? 0 : iso >= 65535.0f ? 65535 : static_cast<uint32_t>(iso));
  exif.Value(37386, kRational, 1, kFocalAt);

  if (hasGps) {
    DirWriter gps{h, kGpsDir};
    uint8_t* v = gps.Entry(0, kByte, 4);
    v[0] = 2;
    v[1] = 2;
    gps.Entry(1, kAscii, 2)[0] = static_cast<uint8_t>(f.gps[29]);
    gps.Value(2, kRational, 3, kGpsBlockAt);
    gps.Entry(3, kAscii, 2)[0] = static_cast<uint8_t>(f.gps[30]);
    gps.Value(4, kRational, 3, kGpsBlockAt + 24);
    gps.Entry(5, kByte, 1)[0] = static_cast<uint8_t>(f.gps[31]);
    gps.Value(6, kRational, 1, kGpsBlockAt + 72);
    gps.Value(7, kRational, 3, kGpsBlockAt + 48);
    gps.Value(18, kAscii, 12, kGpsBlockAt + 80);
    gps.Value(29, kAscii, 12, kGpsBlockAt + 92);
  }
  return profile;
}

void BuildIccProfile(uint8_t* p) {
  memset(p, 0, kRawIccProfileSize);
  PutBE32(p, kRawIccProfileSize);
  PutBE32(p + 8, 0x02100000);
  memcpy(p + 12, "mntrRGB XYZ ", 12);
  memcpy(p + 36, "acsp", 4);
  memcpy(p + 48, "none", 4);
  PutBE32(p + 68, 0xF6D6);
  PutBE32(p + 72, 0x10000);
  PutBE32(p + 76, 0xD32D);

  struct Tag {
    const char* signature;
    uint32_t offset, size;
  };
  static const Tag kTags[10] = {{"cprt", 252, 36}, {"desc", 288, 40}, {"wtpt", 328, 20}, {"bkpt", 348, 20},
                                {"rTRC", 368, 14}, {"gTRC", 384, 14}, {"bTRC", 400, 14}, {"rXYZ", 416, 20},
                                {"gXYZ", 436, 20}, {"bXYZ", 456, 20}};
  PutBE32(p + 128, 10);
  for (int i = 0; i < 10; ++i) {
    uint8_t* e = p + 132 + 12 * i;
    memcpy(e, kTags[i].signature, 4);
    PutBE32(e + 4, kTags[i].offset);
    PutBE32(e + 8, kTags[i].size);
  }
  memcpy(p + 252, "text", 4);
  memcpy(p + 260, "Tavelund Raw App", 17);
  memcpy(p + 288, "desc", 4);
  PutBE32(p + 296, 5);
  memcpy(p + 300, "sRGB", 5);
  auto xyz = [p](uint32_t at, uint32_t x, uint32_t y, uint32_t z) {
    memcpy(p + at, "XYZ ", 4);
    PutBE32(p + at + 8, x);
    PutBE32(p + at + 12, y);
    PutBE32(p + at + 16, z);
  };
  xyz(328, 0xF351, 0x10000, 0x116CC);
  xyz(348, 0, 0, 0);
  for (uint32_t at : {368u, 384u, 400u}) {
    memcpy(p + at, "curv", 4);
    PutBE32(p + at + 8, 1);
    p[at + 12] = 0x01;  // gamma 495/256, unsigned 8.8
    p[at + 13] = 0xEF;
  }
  xyz(416, 0x6FA3, 0x38F6, 0x0391);
  xyz(436, 0x6295, 0xB786, 0x18DB);
  xyz(456, 0x249F, 0x0F84, 0xB6CA);
}

}  // namespace brn
