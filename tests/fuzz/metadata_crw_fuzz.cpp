#include "tests/fuzz/metadata_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  if (file.size() < 14) file.resize(14, 0);
  memcpy(file.data(), "II", 2);
  memcpy(file.data() + 6, "HEAPCCDR", 8);
  RunMetadataReader(file.data(), file.size());
  return 0;
}
