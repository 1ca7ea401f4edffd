// The byte format of the thumbnail cache files (".cac"): one file per folder or collection,
// holding each row's entry record, its undo records and its thumbnail pixels.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kCacheHeaderSize = 548;
constexpr uint32_t kCacheEntryImageSize = 1624;   // an entry record in its 32-bit layout
constexpr uint32_t kCacheRowFixedSize = 1632;     // two table words + the entry record
constexpr uint32_t kCacheUndoRecordSize = 522;
constexpr uint32_t kCacheThumbBytes = 15840;      // 88 x 60 x 3, rows of 264 bytes
constexpr uint32_t kCacheHistogramBytes = 1536;   // 32 x 16 x 3
constexpr uint32_t kCachePixelBlockSize = kCacheThumbBytes + kCacheHistogramBytes;  // 17,376
constexpr uint32_t kCacheMaxEntries = 65534;
// Where the entry record keeps its undo count (the records follow it in the file).
constexpr uint32_t kEntryImageUndoCountOffset = 1552;

#pragma pack(push, 1)
struct CacheHeader {
  char16_t version[8];
  char16_t folder[260];
  int32_t restoreRow;
  int32_t count;
  uint32_t fixedSize;
};
#pragma pack(pop)
static_assert(sizeof(CacheHeader) == kCacheHeaderSize, "cache header is the file format");

struct CacheLayout {
  uint32_t fixedSize;
  uint32_t pixelSize;
  uint64_t totalSize;
};
// Sizes of a file of n rows holding undoTotal undo records; false when n is out of range.
bool ComputeCacheLayout(uint32_t n, uint32_t undoTotal, CacheLayout* out);

// A validated view of a cache block read from disk. Everything it hands out lies inside the
// bytes that were read.
struct CacheView {
  const uint8_t* data = nullptr;
  size_t size = 0;
  uint32_t count = 0;
  int32_t restoreRow = 0;
  uint32_t fixedSize = 0;
  bool hasPixels = false;

  const uint8_t* EntryImage(uint32_t row) const;
  // The row's undo records (count of them in *count), or null with 0.
  const uint8_t* UndoRecords(uint32_t row, uint32_t* count) const;
  // The row's 17,376-byte pixel block or null.
  const uint8_t* PixelBlock(uint32_t row) const;
};

// The version text as a number, read in the C locale.
double CacheVersionNumber(const CacheHeader& header);
// Checks a header alone (used when the whole file could not be held in memory).
bool AcceptCacheHeader(const uint8_t* data, size_t size, double minVersion);
// Checks a whole block: counts, every table offset and length, every undo count.
// withPixels false: only the fixed part was read, pixel offsets are ignored.
bool OpenCacheView(const uint8_t* data, size_t size, double minVersion, bool withPixels, CacheView* out);

// Builds a block in a caller-provided buffer of layout.totalSize bytes (pixelSize 0: no pixels).
class CacheBlockWriter {
 public:
  CacheBlockWriter(uint8_t* block, const CacheLayout& layout, uint32_t count);
  void SetHeader(const char16_t* version, const char16_t* folder, int32_t restoreRow);
  // Rows are added in display order.
  void AddRow(const uint8_t* entryImage, const uint8_t* undoRecords, uint32_t undoCount, const uint8_t* pixelBlock);
  bool Complete() const { return row_ == count_ && undoPos_ <= layout_.fixedSize; }

 private:
  uint8_t* block_;
  CacheLayout layout_;
  uint32_t count_, row_ = 0, undoPos_, pixelPos_;
};

// "C:\Pics\Trip" -> "<cacheFolder>C：￥Pics￥Trip.cac"; a collection "Trip" -> "<cacheFolder>Lib：Trip.cac".
// The cache folder ends with "\". False when the result does not fit or the name is empty.
bool BuildCacheFileName(const char16_t* cacheFolder, const char16_t* listName, bool isCollection, char16_t* out,
                        size_t capacity);
// The folder a cache file name stands for ("C：￥Pics￥Trip.cac" -> "C:\Pics\Trip"); false for
// collection caches, network paths and other names.
bool DecodeCacheFileName(const char16_t* fileName, char16_t* out, size_t capacity);
