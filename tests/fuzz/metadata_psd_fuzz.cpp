#include "tests/fuzz/metadata_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunWithMagic(data, size, 0, "8BPS", 4);
  return 0;
}
