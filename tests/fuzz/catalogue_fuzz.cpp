// Collection files and cached entry images come from disk: neither may crash or hang on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pure/catalogue_rules.h"
#include "core/pure/image_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string list = DecodeCollectionFile(data, size);
  std::vector<uint8_t> again = EncodeCollectionFile(list.c_str());
  if (DecodeCollectionFile(again.data(), again.size()) != list) __builtin_trap();
  ContainsLine(list.c_str(), u"C:\\a.jpg", true);
  std::u16string copy = list;
  RemoveLine(&copy[0], u"C:\\a.jpg");

  ImageEntry entry;
  if (DecodeEntryImage(data, size, &entry)) {
    if (entry.name < entry.path || entry.name > entry.path + kEntryPathChars - 1) __builtin_trap();
    if (entry.undoRecords || entry.histogramPicture || entry.levelImages[0]) __builtin_trap();
    if (entry.currentUndo < -1 || entry.currentUndo >= entry.undoCount + (entry.undoCount == 0)) __builtin_trap();
    uint8_t image[kEntryImageSize];
    EncodeEntryImage(entry, image);
  }
  return 0;
}
