#include "tests/fuzz/metadata_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunWithMagic(data, size, 0, "FUJIFILMCCD-RAW", 15);
  return 0;
}
