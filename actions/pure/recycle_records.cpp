#include "actions/pure/recycle_records.h"

#include "core/pure/path_text.h"

namespace {
uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Compares a stored UTF-16LE text of at most units units (terminated inside) with a path.
bool StoredTextEquals(const uint8_t* p, size_t units, const char16_t* path) {
  size_t i = 0;
  for (; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (FoldLower(c) != FoldLower(path[i])) return false;
    if (c == 0) return true;
  }
  return false;  // no terminator inside the field
}
}  // namespace

int32_t FindInfo2RecordNumber(const uint8_t* data, size_t size, const char16_t* path) {
  if (!data || size < kInfo2Header) return -1;
  const size_t count = size / kInfo2RecordSize;
  int32_t found = -1;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kInfo2Header + kInfo2RecordSize * i;
    if (at + kInfo2RecordSize > size) break;
    const uint8_t* record = data + at;
    if (StoredTextEquals(record + 280, 260, path)) found = static_cast<int32_t>(ReadLe32(record + 260));
  }
  return found;
}

bool BuildInfo2CopyName(char16_t drive, int32_t recordNumber, const char16_t* oldPath, char16_t* out,
                        size_t capacity) {
  if (recordNumber < 0 || capacity < 16) return false;
  char16_t ext[kPathUnits] = {};
  const size_t n = TextLength(oldPath);
  size_t dot = n, slash = 0;
  for (size_t i = 0; i < n; ++i) {
    if (oldPath[i] == u'.') dot = i;
    if (oldPath[i] == u'\\') slash = i;
  }
  if (dot < n && dot > slash) {
    size_t k = 0;
    for (size_t i = dot; i < n && k + 1 < kPathUnits; ++i) ext[k++] = oldPath[i];
  }
  char16_t digits[12];
  size_t d = 0;
  uint32_t v = static_cast<uint32_t>(recordNumber);
  do {
    digits[d++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v);
  const size_t total = 2 + d + TextLength(ext);
  if (total + 1 > capacity) return false;
  size_t o = 0;
  out[o++] = u'd';
  out[o++] = FoldLower(drive);
  while (d) out[o++] = digits[--d];
  for (size_t i = 0; ext[i]; ++i) out[o++] = FoldLower(ext[i]);
  out[o] = 0;
  return true;
}

bool ReadDollarIPath(const uint8_t* data, size_t size, char16_t* out, size_t capacity) {
  if (!data || size < 28 || capacity == 0) return false;
  const uint32_t version = ReadLe32(data);
  size_t start = 24, units = (size - 24) / 2;
  if (version == 2) {
    const uint32_t length = ReadLe32(data + 24);
    start = 28;
    units = (size - 28) / 2;
    if (length < units) units = length;
  } else if (version != 1) {
    return false;
  }
  size_t i = 0;
  for (; i < units && i + 1 < capacity; ++i) {
    const char16_t c = static_cast<char16_t>(data[start + 2 * i] | data[start + 2 * i + 1] << 8);
    out[i] = c;
    if (c == 0) return i > 0;
  }
  if (i + 1 >= capacity && i < units) return false;  // longer than the buffer
  out[i] = 0;
  return i > 0 && version == 2;  // version 1 must end inside the file
}

uint64_t DollarIDeletionTime(const uint8_t* data, size_t size) {
  if (!data || size < 24) return 0;
  return static_cast<uint64_t>(ReadLe32(data + 16)) | static_cast<uint64_t>(ReadLe32(data + 20)) << 32;
}

bool IsDollarRName(const char16_t* name) { return name[0] == u'$' && (name[1] == u'R' || name[1] == u'r'); }
