#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/pure/jpeg_picture.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v, bool little) {
  if (little) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
  else b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
}
void Put32(Bytes& b, uint32_t v, bool little) {
  if (little) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  else b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

// A tiny JPEG whose headers reach its scan.
const Bytes kThumb = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0x11, 0x22, 0xFF, 0xDA, 0x00, 0x02, 0x55, 0xFF, 0xD9};

// SOI, an Exif segment whose IFD1 points at kThumb (start given by thumbStart when not 0), then
// either the scan of a whole file or an APP2 header claiming more bytes than follow (a cut file).
Bytes ExifFile(bool little, bool cut, uint16_t startType = 4, uint32_t thumbStart = 0, uint32_t ifd1 = 26) {
  Bytes tiff = {uint8_t(little ? 'I' : 'M'), uint8_t(little ? 'I' : 'M')};
  Put16(tiff, 42, little);
  Put32(tiff, 8, little);
  Put16(tiff, 1, little);  // IFD0: one entry, then IFD1
  Put16(tiff, 0x0112, little), Put16(tiff, 3, little), Put32(tiff, 1, little), Put32(tiff, 1, little);
  Put32(tiff, ifd1, little);
  Put16(tiff, 2, little);  // IFD1 at 26
  const uint32_t start = thumbStart ? thumbStart : 26 + 2 + 24 + 4;
  Put16(tiff, 0x0201, little), Put16(tiff, startType, little), Put32(tiff, 1, little);
  if (startType == 3) Put16(tiff, uint16_t(start), little), Put16(tiff, 0, little);
  else Put32(tiff, start, little);
  Put16(tiff, 0x0202, little), Put16(tiff, 4, little), Put32(tiff, 1, little), Put32(tiff, uint32_t(kThumb.size()), little);
  Put32(tiff, 0, little);
  tiff.insert(tiff.end(), kThumb.begin(), kThumb.end());
  Bytes file = {0xFF, 0xD8, 0xFF, 0xE1};
  Put16(file, uint16_t(2 + 6 + tiff.size()), false);
  file.insert(file.end(), {'E', 'x', 'i', 'f', 0, 0});
  file.insert(file.end(), tiff.begin(), tiff.end());
  if (cut) file.insert(file.end(), {0xFF, 0xE2, 0x05, 0x58, 0x49, 0x43});
  else file.insert(file.end(), {0xFF, 0xDA, 0x00, 0x02, 0x12, 0xFF, 0xD9});
  return file;
}

TEST(JpegPicture, CutFilesAreFoundAndTheirExifThumbnailTaken) {
  for (bool little : {true, false}) {
    SCOPED_TRACE(little);
    const Bytes whole = ExifFile(little, false), cut = ExifFile(little, true);
    EXPECT_TRUE(JpegHeadersInside(whole.data(), whole.size()));
    EXPECT_FALSE(JpegHeadersInside(cut.data(), cut.size()));
    size_t at = 0, length = 0;
    ASSERT_TRUE(FindExifThumbnail(cut.data(), cut.size(), &at, &length));
    ASSERT_EQ(length, kThumb.size());
    ASSERT_LE(at + length, cut.size());
    EXPECT_EQ(Bytes(cut.begin() + at, cut.begin() + at + length), kThumb);
    EXPECT_TRUE(JpegHeadersInside(cut.data() + at, length));
    // The thumbnail start as a SHORT value reads the same.
    const Bytes shortStart = ExifFile(little, true, 3);
    EXPECT_TRUE(FindExifThumbnail(shortStart.data(), shortStart.size(), &at, &length));
  }
  // Offsets that leave the Exif segment, or point at no JPEG, give nothing.
  size_t at = 0, length = 0;
  const Bytes pastEnd = ExifFile(true, true, 4, 60000), notJpeg = ExifFile(true, true, 4, 10),
              badIfd = ExifFile(true, true, 4, 0, 0xFFFFFFF0u), noIfd1 = ExifFile(false, true, 4, 0, 0);
  for (const Bytes* b : {&pastEnd, &notJpeg, &badIfd, &noIfd1}) EXPECT_FALSE(FindExifThumbnail(b->data(), b->size(), &at, &length));
  // Cut anywhere, a file is never read past its end.
  const Bytes whole = ExifFile(true, false);
  for (size_t n = 0; n + 3 < whole.size(); ++n) {  // up to a scan header
    Bytes part(whole.begin(), whole.begin() + n);
    EXPECT_FALSE(JpegHeadersInside(part.data(), part.size())) << n;
    if (FindExifThumbnail(part.data(), part.size(), &at, &length)) EXPECT_LE(at + length, n);
  }
  const Bytes noJpeg = {0x00, 0x4D, 0xFF, 0xDA, 0x00, 0x02};
  EXPECT_FALSE(JpegHeadersInside(noJpeg.data(), noJpeg.size()));
  EXPECT_FALSE(JpegHeadersInside(nullptr, 0));
}

// SOI, one APP2 "ICC_PROFILE" segment per chunk (sequence number, count, bytes), the scan.
Bytes IccFile(const std::vector<std::pair<std::pair<int, int>, Bytes>>& chunks, bool scan = true) {
  Bytes file = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x4A, 0x46};  // a small APP0 first
  for (const auto& c : chunks) {
    file.insert(file.end(), {0xFF, 0xE2});
    Put16(file, uint16_t(2 + 14 + c.second.size()), false);
    const char tag[] = "ICC_PROFILE";
    file.insert(file.end(), tag, tag + 12);
    file.push_back(uint8_t(c.first.first));
    file.push_back(uint8_t(c.first.second));
    file.insert(file.end(), c.second.begin(), c.second.end());
  }
  if (scan) file.insert(file.end(), {0xFF, 0xDA, 0x00, 0x02, 0x12, 0xFF, 0xD9});
  return file;
}

TEST(JpegPicture, IccProfileChunksJoinedInTheirOrder) {
  Bytes profile;
  const Bytes one = IccFile({{{1, 1}, {1, 2, 3}}});
  ASSERT_TRUE(FindJpegIccProfile(one.data(), one.size(), &profile));
  EXPECT_EQ(profile, Bytes({1, 2, 3}));
  // Chunks stored out of their order are put back in it.
  const Bytes shuffled = IccFile({{{2, 3}, {4, 5}}, {{1, 3}, {1, 2, 3}}, {{3, 3}, {6}}});
  ASSERT_TRUE(FindJpegIccProfile(shuffled.data(), shuffled.size(), &profile));
  EXPECT_EQ(profile, Bytes({1, 2, 3, 4, 5, 6}));
  // Sets that are not whole, files without a profile and cut files give none.
  const Bytes missing = IccFile({{{1, 2}, {1}}}), repeated = IccFile({{{1, 2}, {1}}, {{1, 2}, {2}}}),
              pastCount = IccFile({{{3, 2}, {1}}, {{1, 2}, {2}}}), zero = IccFile({{{0, 0}, {1}}}),
              counts = IccFile({{{1, 2}, {1}}, {{2, 3}, {2}}}), none = IccFile({}),
              noScan = IccFile({{{1, 1}, {1, 2, 3}}}, false);
  for (const Bytes* b : {&missing, &repeated, &pastCount, &zero, &counts, &none, &noScan}) {
    EXPECT_FALSE(FindJpegIccProfile(b->data(), b->size(), &profile));
    EXPECT_TRUE(profile.empty());
  }
  for (size_t n = 0; n + 3 < one.size(); ++n)  // cut before the end of the scan header
    EXPECT_FALSE(FindJpegIccProfile(one.data(), n, &profile)) << n;
  // A segment too short for its header is no profile chunk.
  Bytes stub = {0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x06, 'I', 'C', 'C', '_', 0xFF, 0xDA, 0x00, 0x02, 0x12};
  EXPECT_FALSE(FindJpegIccProfile(stub.data(), stub.size(), &profile));
}

}  // namespace
