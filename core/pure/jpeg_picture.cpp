#include "core/pure/jpeg_picture.h"

#include <cstring>

namespace {

constexpr uint8_t kSoi = 0xD8, kSos = 0xDA, kEoi = 0xD9, kApp1 = 0xE1, kApp2 = 0xE2;

// Calls visit(marker, segment body, body length) for each segment before the scan; false when
// a segment runs past the end or the block is no JPEG. Stops early when visit returns true.
template <typename Visit>
bool WalkSegments(const uint8_t* d, size_t size, bool* reachedScan, Visit visit) {
  *reachedScan = false;
  if (!d || size < 4 || d[0] != 0xFF || d[1] != kSoi) return false;
  size_t i = 2;
  for (;;) {
    if (i + 2 > size || d[i] != 0xFF) return false;
    while (i + 2 <= size && d[i + 1] == 0xFF) ++i;  // fill bytes
    if (i + 2 > size) return false;
    const uint8_t marker = d[i + 1];
    if (marker == kEoi) return false;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    if (i + 4 > size) return false;
    const size_t length = static_cast<size_t>(d[i + 2]) << 8 | d[i + 3];
    if (length < 2 || length > size - i - 2) return false;
    if (marker == kSos) {
      *reachedScan = true;
      return true;
    }
    if (visit(marker, d + i + 4, length - 2)) return true;
    i += 2 + length;
  }
}

uint32_t Read32(const uint8_t* p, bool little) {
  return little ? (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24)
                : (uint32_t(p[3]) | uint32_t(p[2]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 24);
}
uint16_t Read16(const uint8_t* p, bool little) {
  return static_cast<uint16_t>(little ? (p[0] | p[1] << 8) : (p[1] | p[0] << 8));
}

// The offset of the IFD that follows the IFD at `at` of a TIFF body, 0 when none or unreadable.
bool NextIfd(const uint8_t* tiff, size_t size, bool little, uint32_t at, uint32_t* next) {
  if (at < 8 || at > size || size - at < 2) return false;
  const size_t count = Read16(tiff + at, little);
  const size_t end = at + 2 + count * 12;
  if (end > size || size - end < 4) return false;
  *next = Read32(tiff + end, little);
  return true;
}

bool ThumbnailInTiff(const uint8_t* tiff, size_t size, size_t* offset, size_t* length) {
  if (size < 8) return false;
  bool little;
  if (tiff[0] == 'I' && tiff[1] == 'I') little = true;
  else if (tiff[0] == 'M' && tiff[1] == 'M') little = false;
  else return false;
  if (Read16(tiff + 2, little) != 42) return false;
  uint32_t ifd1 = 0;
  if (!NextIfd(tiff, size, little, Read32(tiff + 4, little), &ifd1) || ifd1 == 0) return false;
  if (ifd1 < 8 || ifd1 > size || size - ifd1 < 2) return false;
  const size_t count = Read16(tiff + ifd1, little);
  if (count * 12 > size - ifd1 - 2) return false;
  uint32_t start = 0, bytes = 0;
  for (size_t k = 0; k < count; ++k) {
    const uint8_t* e = tiff + ifd1 + 2 + k * 12;
    const uint16_t tag = Read16(e, little), type = Read16(e + 2, little);
    // LONG values sit in the value field; a SHORT one in its first two bytes.
    const uint32_t value = type == 3 ? Read16(e + 8, little) : Read32(e + 8, little);
    if (tag == 0x0201) start = value;
    if (tag == 0x0202) bytes = value;
  }
  if (start == 0 || bytes < 4 || start > size || bytes > size - start) return false;
  if (tiff[start] != 0xFF || tiff[start + 1] != kSoi) return false;
  *offset = start;
  *length = bytes;
  return true;
}

}  // namespace

bool JpegHeadersInside(const uint8_t* data, size_t size) {
  bool scan = false;
  return WalkSegments(data, size, &scan, [](uint8_t, const uint8_t*, size_t) { return false; }) && scan;
}

bool FindExifThumbnail(const uint8_t* data, size_t size, size_t* offset, size_t* length) {
  bool found = false, scan = false;
  // A cut file's last segment may run past the end: the walk stops there, the Exif segment
  // before it is still read.
  WalkSegments(data, size, &scan, [&](uint8_t marker, const uint8_t* body, size_t n) {
    if (marker != kApp1 || n < 6 || body[0] != 'E' || body[1] != 'x' || body[2] != 'i' || body[3] != 'f' ||
        body[4] != 0 || body[5] != 0)
      return false;
    size_t at = 0, bytes = 0;
    if (!ThumbnailInTiff(body + 6, n - 6, &at, &bytes)) return false;
    *offset = static_cast<size_t>(body + 6 - data) + at;
    *length = bytes;
    found = true;
    return true;
  });
  return found;
}

bool FindJpegIccProfile(const uint8_t* data, size_t size, std::vector<uint8_t>* profile) {
  static const uint8_t kTag[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
  profile->clear();
  struct Chunk {
    const uint8_t* body = nullptr;
    size_t length = 0;
  };
  Chunk chunks[256];
  unsigned count = 0;
  bool broken = false, reachedScan = false;
  const bool walked = WalkSegments(data, size, &reachedScan, [&](uint8_t marker, const uint8_t* body, size_t length) {
    if (marker != kApp2 || length < 14 || std::memcmp(body, kTag, sizeof kTag) != 0) return false;
    const unsigned seq = body[12], total = body[13];
    if (seq == 0 || total == 0 || seq > total || (count && total != count) || chunks[seq].body) {
      broken = true;
      return true;
    }
    count = total;
    chunks[seq] = {body + 14, length - 14};
    return false;
  });
  if (!walked || !reachedScan || broken || count == 0) return false;
  size_t whole = 0;
  for (unsigned i = 1; i <= count; ++i) {
    if (!chunks[i].body) return false;
    whole += chunks[i].length;
  }
  if (whole == 0) return false;
  profile->reserve(whole);
  for (unsigned i = 1; i <= count; ++i) profile->insert(profile->end(), chunks[i].body, chunks[i].body + chunks[i].length);
  return true;
}
