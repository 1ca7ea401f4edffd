// The Recycle Bin's bookkeeping files, read to put a deleted file back: the single "INFO2"
// index of the older layout and the "$I" companion of each "$R" copy of the newer one.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kInfo2Header = 20;
constexpr size_t kInfo2RecordSize = 800;

// Record number of the newest record whose path equals the path (letter case ignored), -1 none.
int32_t FindInfo2RecordNumber(const uint8_t* data, size_t size, const char16_t* path);
// "d%c%d%s" in lower case: drive letter, record number, extension of the old path (with its
// dot, empty without one). False when it does not fit into capacity units.
bool BuildInfo2CopyName(char16_t drive, int32_t recordNumber, const char16_t* oldPath, char16_t* out,
                        size_t capacity);
// The path a "$I" file records: version 1 keeps it from byte 24 to a terminator, version 2 has
// its length in units at byte 24 and the text from byte 28. False for anything else.
bool ReadDollarIPath(const uint8_t* data, size_t size, char16_t* out, size_t capacity);
// When the file was deleted (FILETIME at byte 16), 0 when the file is too short.
uint64_t DollarIDeletionTime(const uint8_t* data, size_t size);
// Whether a name (no folder) is a "$R" copy, and the name of its "$I" companion.
bool IsDollarRName(const char16_t* name);
