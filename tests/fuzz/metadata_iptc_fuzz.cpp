// IPTC records and 8BIM resources: the input is the payload of a Photoshop APP13 segment and of a PSD
// resource block.
#include "tests/fuzz/metadata_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 60000) return 0;
  std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xED, uint8_t((size + 16) >> 8), uint8_t(size + 16)};
  const char* photoshop = "Photoshop 3.0";
  jpeg.insert(jpeg.end(), photoshop, photoshop + 14);
  jpeg.insert(jpeg.end(), data, data + size);
  jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
  RunMetadataReader(jpeg.data(), jpeg.size());

  std::vector<uint8_t> psd(26, 0);
  memcpy(psd.data(), "8BPS", 4);
  psd.insert(psd.end(), {0, 0, 0, 0, uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)});
  psd.insert(psd.end(), data, data + size);
  RunMetadataReader(psd.data(), psd.size());
  return 0;
}
