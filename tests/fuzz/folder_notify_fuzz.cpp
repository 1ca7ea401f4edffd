// Arbitrary bytes as a directory-change buffer: the walk stays inside what was received.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/pure/folder_notify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy so that any read past the reported count is caught.
  std::vector<uint8_t> buffer(data, data + size);
  size_t records = 0;
  WalkFolderNotifications(buffer.data(), buffer.size(), [&](const FolderNotifyRecord& r) {
    size_t n = 0;
    while (n < kNotifyNameUnits && r.name[n]) ++n;
    if (n >= kNotifyNameUnits) __builtin_trap();  // a name must end inside its buffer
    return ++records < 100000;
  });
  return 0;
}
