// Metadata reader: picture-file bytes in, multibyte (CP932) text out.
// The Win32 entry points in metadata/metadata_reader.h wrap these with wide paths and the shared buffers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "metadata/pure/gps_position.h"

constexpr size_t kMetadataTextSize = 8224;   // dump, summary and IPTC buffers
constexpr size_t kJpegCommentSize = 65536;

// Random access to one file's bytes. ReadAt copies what exists (fewer bytes at the end, 0 past it).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual size_t ReadAt(uint64_t offset, uint8_t* dst, size_t n) = 0;
  virtual uint64_t Size() = 0;
};

class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t ReadAt(uint64_t offset, uint8_t* dst, size_t n) override;
  uint64_t Size() override { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// A fixed buffer that is always terminated; an append that does not fit is cut at the end.
struct TextBuffer {
  char* data;
  size_t capacity;  // bytes, terminator included
  size_t length;

  TextBuffer(char* buffer, size_t size) : data(buffer), capacity(size), length(0) { Clear(); }
  void Clear() {
    length = 0;
    if (capacity) data[0] = 0;
    if (capacity > 1) data[1] = 0;
  }
  void Append(const char* text, size_t n);
  void Append(const char* text);
  void Printf(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
};

// The full dump (MetadataText): the path line, then one line per known tag. True when the format's front end succeeded.
bool DumpMetadataText(ByteSource& file, const char* pathMultibyte, TextBuffer& out);
// The GPS directory of a JPEG's Exif block as ExifSummaryText; fills the source fields of gps it finds.
bool ReadExifSummaryText(ByteSource& file, TextBuffer& out, GpsPosition& gps);
// IPTC records of JPEG (APP13), PSD and TIFF files as IptcText. The values are the file's bytes:
// in the ANSI code page, or in UTF-8 when the record declares it (*declaresUtf8, when given).
bool ReadIptcText(ByteSource& file, TextBuffer& out, bool* declaresUtf8 = nullptr);
// The first COM segment of a JPEG, terminated by a zero byte; *length (when given) counts its
// bytes, which may hold zero bytes of their own.
bool ReadJpegCommentBytes(ByteSource& file, char* out, size_t capacity, size_t* length = nullptr);
