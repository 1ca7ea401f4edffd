// Metadata text is made from file bytes: the fill and every lookup must stay inside their
// buffers whatever the values hold. Input: 4 bytes of file type flag, then UTF-16 text.
#include <cstdint>
#include <cstring>
#include <vector>

#include "metadata/pure/camera_models.h"
#include "metadata/pure/image_info.h"
#include "metadata/pure/metadata_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool indexed = (BuildCameraModelIndex(), true);
  (void)indexed;
  if (size < 4) return 0;
  ImageInfo info{};
  memcpy(&info.fileTypeFlag, data, 4);
  size_t units = (size - 4) / 2;
  if (units > 8191) units = 8191;
  std::vector<char16_t> text(units + 1, 0);
  memcpy(text.data(), data + 4, units * 2);

  FillImageInfoRecord(info, text.data(), (data[0] & 1) != 0);
  FillImageInfoTexts(info, text.data(), nullptr);
  for (int column = 0; column <= 24; ++column) {
    for (bool focal35 : {false, true}) {
      const char16_t* field = GetInfoFieldText(info, column, focal35);
      if (field) ParseFractionText(field), ParseFNumberText(field), ParseNumberText(field);
    }
  }
  char16_t lens[16];
  for (int kind = -1; kind <= 32; ++kind) {
    lens[0] = 0;
    ResolveLensName(kind, text.data(), lens, 16, info.maker);
  }

  // The same bytes as a record from a cache file.
  ImageInfo stored;
  memset(&stored, 0, sizeof stored);
  memcpy(&stored, data, size < sizeof stored ? size : sizeof stored);
  ValidateImageInfo(stored);
  for (int column = 1; column <= 23; ++column) ParseNumberText(GetInfoFieldText(stored, column, true));
  return 0;
}
