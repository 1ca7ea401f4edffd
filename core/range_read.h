// A range of a picture file read into a block: at once, or by a helper thread while the caller
// decodes the bytes already there (a camera picture's read then no longer comes before its decode).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/jpeg_scaled.h"

// The range (the whole file for size 0) in a new block; null on any failure. The range must lie
// inside the file (a range from its start may be longer: that much at most), so a damaged record
// never asks for a huge block. An MRW preview is given the JPEG start marker it lacks. outOfMemory
// tells a failed allocation (the file is fine) from a file that cannot be read.
HGLOBAL ReadPathRange(const wchar_t* path, uint32_t fileType, int32_t offset, int32_t size, uint32_t* bytesRead = nullptr,
                      bool* outOfMemory = nullptr);

// The same range read in parts beside the caller, into a kept block (TakeReadBlock).
class RangeReader : public ArrivingBytes {
 public:
  RangeReader() = default;
  ~RangeReader();
  RangeReader(const RangeReader&) = delete;
  RangeReader& operator=(const RangeReader&) = delete;
  // Opens the range as ReadPathRange takes it and starts reading; false, with nothing started,
  // when the file cannot be opened, the range does not lie inside it or no block can be had.
  bool Start(const wchar_t* path, uint32_t fileType, int32_t offset, int32_t size);
  // The block's bytes and the range's size (what Finish gives when every byte arrives).
  const uint8_t* Bytes() const { return bytes_; }
  size_t Size() const { return size_; }
  size_t WaitFor(size_t count) override;
  // Waits for the read's end: the block holding the whole range, now the caller's; null (the block
  // let go of) when the read stopped short.
  HGLOBAL Finish();

 private:
  struct Shared;
  static void ReadParts(Shared* shared);
  static void CALLBACK ReadPartsInPool(PTP_CALLBACK_INSTANCE, void* shared);
  static void LetGo(Shared* shared);
  Shared* shared_ = nullptr;
  HGLOBAL block_ = nullptr;
  const uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
};
