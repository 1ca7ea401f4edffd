// TIFF-based files: TIFF, ORF (both byte orders) and RW2, as the input's first bytes say.
#include "tests/fuzz/metadata_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  RunWithMagic(data, size, 0, data[0] & 1 ? "MM" : "II", 2);
  return 0;
}
