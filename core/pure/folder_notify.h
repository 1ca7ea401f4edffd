// The records a directory-change request leaves in its buffer: next-entry offset, action, name
// length in bytes and the UTF-16 name without terminator. Read from a buffer that another
// program's activity fills, so every offset and length is checked against the bytes received.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kFolderNotifyBufferSize = 10000;
constexpr size_t kNotifyNameUnits = 260;  // names are cut to fit with their terminator

enum FolderNotifyAction : uint32_t {
  kNotifyAdded = 1,
  kNotifyRemoved = 2,
  kNotifyModified = 3,
  kNotifyRenamedOld = 4,
  kNotifyRenamedNew = 5,
};

struct FolderNotifyRecord {
  uint32_t action;
  char16_t name[kNotifyNameUnits];  // zero-terminated
};

enum class NotifyWalk {
  kComplete,   // every record read, the last one had next-entry offset 0
  kStopped,    // the visitor asked to stop
  kMalformed,  // an offset or length left the received bytes: what follows is unknown
};

// Calls visit(record) for each record from the start of the buffer; visit returns false to stop.
// bytes is the count the request reported (0 means the system's buffer overflowed: nothing to walk).
template <typename Visit>
NotifyWalk WalkFolderNotifications(const uint8_t* buffer, size_t bytes, Visit visit);

// The checked reading of one record at offset; false when it does not fit in bytes. next is its
// next-entry offset (0 for the last).
bool ReadFolderNotifyRecord(const uint8_t* buffer, size_t bytes, size_t offset, FolderNotifyRecord* record,
                            uint32_t* next);

template <typename Visit>
NotifyWalk WalkFolderNotifications(const uint8_t* buffer, size_t bytes, Visit visit) {
  if (bytes > kFolderNotifyBufferSize) bytes = kFolderNotifyBufferSize;
  if (bytes == 0) return NotifyWalk::kMalformed;
  size_t offset = 0;
  for (;;) {
    FolderNotifyRecord record;
    uint32_t next = 0;
    if (!ReadFolderNotifyRecord(buffer, bytes, offset, &record, &next)) return NotifyWalk::kMalformed;
    if (!visit(record)) return NotifyWalk::kStopped;
    if (next == 0) return NotifyWalk::kComplete;
    // Records only move forward and stay inside what was received.
    if (next > bytes - offset) return NotifyWalk::kMalformed;
    offset += next;
  }
}
