#include "core/pure/folder_cache_format.h"
#include "core/pure/image_entry.h"
#include "core/pure/settings_rules.h"

#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
void WriteU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

size_t Length16(const char16_t* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

constexpr char16_t kYenSign = u'\uFFE5';
constexpr char16_t kFullColon = u'\uFF1A';

}  // namespace

bool ComputeCacheLayout(uint32_t n, uint32_t undoTotal, CacheLayout* out) {
  if (n > kCacheMaxEntries || undoTotal > 0x7FFFFFu) return false;
  uint64_t fixed = kCacheHeaderSize + uint64_t(n) * kCacheRowFixedSize + uint64_t(undoTotal) * kCacheUndoRecordSize;
  if (fixed > 0xFFFFFFFFu) return false;
  out->fixedSize = static_cast<uint32_t>(fixed);
  out->pixelSize = n * kCachePixelBlockSize;
  out->totalSize = fixed + out->pixelSize;
  return true;
}

double CacheVersionNumber(const CacheHeader& header) { return ParseVersionNumber(header.version, 8); }

bool AcceptCacheHeader(const uint8_t* data, size_t size, double minVersion) {
  if (!data || size < kCacheHeaderSize) return false;
  CacheHeader h;
  std::memcpy(&h, data, sizeof h);
  // Compare with a little slack: 5.16 read back as a double must not fall below 5.16.
  if (CacheVersionNumber(h) + 1e-9 < minVersion) return false;
  if (h.count < 0 || static_cast<uint32_t>(h.count) > kCacheMaxEntries) return false;
  uint64_t minimum = kCacheHeaderSize + uint64_t(h.count) * kCacheRowFixedSize;
  return h.fixedSize >= minimum;
}

bool OpenCacheView(const uint8_t* data, size_t size, double minVersion, bool withPixels, CacheView* out) {
  *out = CacheView();
  if (!AcceptCacheHeader(data, size, minVersion)) return false;
  CacheHeader h;
  std::memcpy(&h, data, sizeof h);
  const uint32_t n = static_cast<uint32_t>(h.count);
  if (h.fixedSize > size) return false;
  const uint64_t undoStart = kCacheHeaderSize + uint64_t(n) * kCacheRowFixedSize;
  const uint8_t* tableA = data + kCacheHeaderSize;
  const uint8_t* tableB = tableA + 4ull * n;
  const uint8_t* entries = tableB + 4ull * n;
  uint64_t undoSeen = 0;
  for (uint32_t r = 0; r < n; ++r) {
    uint32_t undoCount = ReadU32(entries + uint64_t(r) * kCacheEntryImageSize + kEntryImageUndoCountOffset);
    uint32_t a = ReadU32(tableA + 4ull * r);
    if (a != 0) {
      // Undo records stand between the entry records and the end of the fixed part.
      if (undoCount == 0 || undoCount > 0xFFFFu) return false;
      uint64_t end = uint64_t(a) + uint64_t(undoCount) * kCacheUndoRecordSize;
      if (a < undoStart || end > h.fixedSize) return false;
      undoSeen += undoCount;
    }
    if (withPixels) {
      uint32_t b = ReadU32(tableB + 4ull * r);
      if (b != 0 && (b < h.fixedSize || uint64_t(b) + kCachePixelBlockSize > size)) return false;
    }
  }
  if (undoStart + undoSeen * kCacheUndoRecordSize > h.fixedSize) return false;
  out->data = data;
  out->size = size;
  out->count = n;
  out->restoreRow = h.restoreRow;
  out->fixedSize = h.fixedSize;
  out->hasPixels = withPixels;
  return true;
}

const uint8_t* CacheView::EntryImage(uint32_t row) const {
  if (row >= count) return nullptr;
  return data + kCacheHeaderSize + 8ull * count + uint64_t(row) * kCacheEntryImageSize;
}

const uint8_t* CacheView::UndoRecords(uint32_t row, uint32_t* n) const {
  *n = 0;
  if (row >= count) return nullptr;
  uint32_t a = ReadU32(data + kCacheHeaderSize + 4ull * row);
  if (a == 0) return nullptr;
  *n = ReadU32(EntryImage(row) + kEntryImageUndoCountOffset);
  return data + a;
}

const uint8_t* CacheView::PixelBlock(uint32_t row) const {
  if (!hasPixels || row >= count) return nullptr;
  uint32_t b = ReadU32(data + kCacheHeaderSize + 4ull * count + 4ull * row);
  return b ? data + b : nullptr;
}

CacheBlockWriter::CacheBlockWriter(uint8_t* block, const CacheLayout& layout, uint32_t count)
    : block_(block), layout_(layout), count_(count) {
  std::memset(block_, 0, static_cast<size_t>(layout_.totalSize));
  undoPos_ = kCacheHeaderSize + count_ * kCacheRowFixedSize;
  pixelPos_ = layout_.fixedSize;
}

void CacheBlockWriter::SetHeader(const char16_t* version, const char16_t* folder, int32_t restoreRow) {
  CacheHeader h{};
  for (size_t i = 0; i < 7 && version[i]; ++i) h.version[i] = version[i];
  for (size_t i = 0; i < 259 && folder[i]; ++i) h.folder[i] = folder[i];
  h.restoreRow = restoreRow;
  h.count = static_cast<int32_t>(count_);
  h.fixedSize = layout_.fixedSize;
  std::memcpy(block_, &h, sizeof h);
}

void CacheBlockWriter::AddRow(const uint8_t* entryImage, const uint8_t* undoRecords, uint32_t undoCount,
                              const uint8_t* pixelBlock) {
  if (row_ >= count_) return;
  uint8_t* tableA = block_ + kCacheHeaderSize;
  uint8_t* tableB = tableA + 4ull * count_;
  uint8_t* image = tableB + 4ull * count_ + uint64_t(row_) * kCacheEntryImageSize;
  std::memcpy(image, entryImage, kCacheEntryImageSize);
  uint64_t undoBytes = uint64_t(undoCount) * kCacheUndoRecordSize;
  if (undoCount && undoRecords && undoPos_ + undoBytes <= layout_.fixedSize) {
    WriteU32(tableA + 4ull * row_, undoPos_);
    std::memcpy(block_ + undoPos_, undoRecords, static_cast<size_t>(undoBytes));
    undoPos_ += static_cast<uint32_t>(undoBytes);
  } else {
    // The record's count must agree with what the file holds for it.
    WriteU32(image + kEntryImageUndoCountOffset, 0);
  }
  if (pixelBlock && layout_.pixelSize && pixelPos_ + uint64_t(kCachePixelBlockSize) <= layout_.totalSize) {
    WriteU32(tableB + 4ull * row_, pixelPos_);
    std::memcpy(block_ + pixelPos_, pixelBlock, kCachePixelBlockSize);
    pixelPos_ += kCachePixelBlockSize;
  }
  ++row_;
}

bool BuildCacheFileName(const char16_t* cacheFolder, const char16_t* listName, bool isCollection, char16_t* out,
                        size_t capacity) {
  if (!listName || !listName[0] || capacity == 0) return false;
  static const char16_t kPrefix[] = u"Lib\uFF1A";
  static const char16_t kExt[] = u".cac";
  size_t folderLen = Length16(cacheFolder), nameLen = Length16(listName);
  size_t need = folderLen + (isCollection ? 4 : 0) + nameLen + 4 + 1;
  if (need > capacity) return false;
  size_t o = 0;
  for (size_t i = 0; i < folderLen; ++i) out[o++] = cacheFolder[i];
  if (isCollection)
    for (size_t i = 0; i < 4; ++i) out[o++] = kPrefix[i];
  for (size_t i = 0; i < nameLen; ++i) {
    char16_t c = listName[i];
    if (c == u'\\') c = kYenSign;
    else if (!isCollection && i == 1 && c == u':') c = kFullColon;
    out[o++] = c;
  }
  for (size_t i = 0; i < 4; ++i) out[o++] = kExt[i];
  out[o] = 0;
  return true;
}

bool DecodeCacheFileName(const char16_t* fileName, char16_t* out, size_t capacity) {
  size_t len = Length16(fileName);
  if (len < 6 || fileName[1] != kFullColon) return false;
  if (fileName[len - 4] != u'.' || fileName[len - 3] != u'c' || fileName[len - 2] != u'a' || fileName[len - 1] != u'c')
    return false;
  size_t n = len - 4;
  if (n + 1 > capacity) return false;
  for (size_t i = 0; i < n; ++i) {
    char16_t c = fileName[i];
    if (i == 1) c = u':';
    else if (c == kYenSign) c = u'\\';
    out[i] = c;
  }
  out[n] = 0;
  return true;
}
static_assert(entry_image::kUndoCount == kEntryImageUndoCountOffset, "the undo count the reader checks");
static_assert(kEntryImageSize == kCacheEntryImageSize, "");
