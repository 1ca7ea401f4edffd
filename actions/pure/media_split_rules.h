// Dividing the listed files over backup media of a fixed size, in list order.
#pragma once
#include <cstddef>
#include <cstdint>

struct MediaSplitItem {
  bool present;
  int64_t size;
};

struct MediaSplitResult {
  int32_t mediaCount;       // of the first pass
  int64_t lastMediumBytes;  // of the first pass
  int32_t filesInLast;      // of the first pass
  bool oversize;            // the last pass met a file larger than a medium
  int32_t passes;
};

// Medium numbers per item (0 not present, n medium n, -n larger than a medium and counted with
// medium n). With evenOut the capacity is lowered while the media count holds, then the last
// lowering is taken back, and the numbers are those of the last pass.
MediaSplitResult ComputeMediaSplitNumbers(const MediaSplitItem* items, size_t count, int64_t capacity, bool evenOut,
                                          int32_t* numbers);

// Name of a medium's folder: base + the number with digits + 1 places (digits 0..3) + '\'.
// False when it needs more than capacity units.
bool FormatMediaFolder(const char16_t* base, int32_t digits, int32_t number, char16_t* out, size_t capacity);
