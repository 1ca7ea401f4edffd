// An entry record as the thumbnail cache file keeps it: the 1,624-byte 32-bit layout.
// Pointer and handle members are 4-byte slots, written as zero and never read back.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct ImageEntryImage32 {
  int32_t cacheIndex;
  int32_t spareWords[2];
  char16_t path[260];
  uint32_t nameSlot;
  uint8_t info[1000];            // the ImageInfo record, byte for byte
  uint32_t histogramSlot;
  int32_t mediaNumber;
  uint16_t stateFlags;
  uint8_t checkMark;
  uint8_t presence;
  int8_t userRotation;
  int8_t exifRotation;
  uint8_t developByte;
  uint8_t pad1;
  int32_t undoCount;
  int32_t currentUndo;
  uint32_t undoSlot;
  int32_t level2Size;
  uint32_t levelBlockSlots[3];
  uint32_t levelImageSlots[3];
  int32_t movieValue;
  uint32_t pad2;                 // the double below sits on an 8-byte boundary
  double moviePosition;
  uint8_t movieSlot;
  int8_t volume;
  int16_t thumbnailPosition;
  uint32_t streamSlots[3];
};
#pragma pack(pop)

static_assert(sizeof(ImageEntryImage32) == 1624, "entry record size is the cache file format");
static_assert(offsetof(ImageEntryImage32, path) == 12, "");
static_assert(offsetof(ImageEntryImage32, info) == 536, "");
static_assert(offsetof(ImageEntryImage32, stateFlags) == 1544, "");
static_assert(offsetof(ImageEntryImage32, undoCount) == 1552, "undo count offset is read by the cache reader");
static_assert(offsetof(ImageEntryImage32, moviePosition) == 1600, "");
static_assert(offsetof(ImageEntryImage32, streamSlots) == 1612, "");
