#include "core/pure/folder_notify.h"

#include <cstring>

namespace {
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
constexpr size_t kRecordHeader = 12;
}  // namespace

bool ReadFolderNotifyRecord(const uint8_t* buffer, size_t bytes, size_t offset, FolderNotifyRecord* record,
                            uint32_t* next) {
  if (offset > bytes || bytes - offset < kRecordHeader) return false;
  const uint8_t* p = buffer + offset;
  *next = Le32(p);
  record->action = Le32(p + 4);
  const uint32_t nameBytes = Le32(p + 8);
  if (nameBytes > bytes - offset - kRecordHeader) return false;
  size_t units = nameBytes / 2;
  if (units > kNotifyNameUnits - 1) units = kNotifyNameUnits - 1;
  std::memset(record->name, 0, sizeof record->name);
  std::memcpy(record->name, p + kRecordHeader, units * 2);
  return true;
}
