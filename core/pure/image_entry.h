// One record per listed file, and the undo steps it carries. The thumbnail cache files keep the
// entry as its 32-bit image (1,624 bytes), written and read field by field below.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/pure/image_info.h"

struct IStream;
namespace Gdiplus {
class Image;
class Bitmap;
}  // namespace Gdiplus

constexpr int kEntryPathChars = 260;

// One undo step of an entry: kind byte, one spare byte, then the target folder, the old path of
// a rename, or three 16-bit values of a lossless rotation.
#pragma pack(push, 1)
struct UndoRecord {
  uint8_t kind;
  uint8_t spare;
  char16_t path[kEntryPathChars];
};
#pragma pack(pop)
static_assert(sizeof(UndoRecord) == 522, "UndoRecord is a cache-file record");
static_assert(offsetof(UndoRecord, path) == 2, "layout");

// The three picture slots of an entry: the list thumbnail, the view image, the full development.
enum ImageLevel : int32_t { kLevelThumbnail = 0, kLevelView = 1, kLevelFull = 2, kImageLevelCount = 3 };

// What the image-level text of the status bar says of the shown entry.
struct ImageLevelInputs {
  int32_t viewMode;
  bool developingThisEntry;  // the viewer's RAW thread runs for this entry
  bool hasFullDevelopment;   // level 2 holds a picture
  uint32_t fileTypeFlag;
  uint32_t previewSize;
};

enum EntryFlag : uint16_t {
  kEntryHalfSizeDevelopment = 0x1,
  kEntryInfoRead = 0x2,
  kEntryThumbFromCache = 0x4,
  kEntryRenderAgain = 0x8,
  kEntryRotated = 0x10,
  kEntryWantFullDevelopment = 0x20,
  kEntryDevelopmentCleared = 0x40,
  kEntryViewFromHalfRaw = 0x80,
  kEntryMovieOpen = 0x100,
  kEntryMoviePaused = 0x200,
  kEntryMovieRepeat = 0x400,
  kEntryMovieUsePosition = 0x800,
  kEntryMovieNoCodec = 0x1000,
};
// Flags a record keeps when it is taken from a cache file.
constexpr uint16_t kEntryFlagsKeptFromCache = 0xF49A;

// Presence byte: 0 vanished, bit 1 present, bit 2 selected (the set paging steps through).
enum : uint8_t { kEntryVanished = 0, kEntryPresent = 1, kEntrySelected = 2 };

// Undo kinds whose record says the file left its folder.
inline bool IsFileGoneKind(uint8_t kind) { return kind == 4 || kind == 5 || kind == 6 || kind == 13; }

struct ImageEntry {
  int32_t cacheIndex;        // record number in the loaded cache, -1 none
  int32_t cacheWords[2];     // carried with the record, unused here
  char16_t path[kEntryPathChars];
  char16_t* name;            // file-name part of path
  ImageInfo info;
  Gdiplus::Bitmap* histogramPicture;
  int32_t mediaNumber;
  uint16_t flags;
  uint8_t checked;
  uint8_t presence;
  int8_t userRotation;
  int8_t exifRotation;
  uint8_t developMode;
  uint8_t viewReduction;  // level 1 decoded at 1/n of the picture's size (0 or 1: whole)
  int32_t undoCount;
  int32_t currentUndo;
  UndoRecord* undoRecords;
  int32_t fullLevelSize;
  void* levelBlocks[kImageLevelCount];  // HGLOBAL
  Gdiplus::Image* levelImages[kImageLevelCount];
  int32_t movieValue;
  double moviePosition;
  uint8_t movieSlot;  // 255 none
  int8_t volume;      // -127 muted
  int16_t movieThumbSecond;
  IStream* levelStreams[kImageLevelCount];
};

// The 32-bit image of an entry in a cache file.
constexpr size_t kEntryImageSize = 1624;
namespace entry_image {
constexpr size_t kCacheIndex = 0, kCacheWords = 4, kPath = 12, kName = 532, kInfo = 536, kHistogram = 1536,
                 kMediaNumber = 1540, kFlags = 1544, kChecked = 1546, kPresence = 1547, kUserRotation = 1548,
                 kExifRotation = 1549, kDevelopMode = 1550, kUndoCount = 1552, kCurrentUndo = 1556,
                 kUndoRecords = 1560, kFullLevelSize = 1564, kLevelBlocks = 1568, kLevelImages = 1580,
                 kMovieValue = 1592, kMoviePosition = 1600, kMovieSlot = 1608, kVolume = 1609,
                 kMovieThumbSecond = 1610, kLevelStreams = 1612;
}  // namespace entry_image

// Writes the 32-bit image; pointer slots are written as 0, the name as its offset into path.
void EncodeEntryImage(const ImageEntry& entry, uint8_t* out);
// Reads an image into a zeroed entry: every pointer stays null, the path is terminated, the name
// pointer is set from the path, the information record is validated. False when size is short.
bool DecodeEntryImage(const uint8_t* in, size_t size, ImageEntry* entry);

// The flags, the presence byte and the development mode of a listed entry are changed by the
// interface thread, the list thread and its workers, the folder watcher and the viewer threads:
// every change is one atomic step, so that none undoes another thread's bit.
inline void SetEntryFlags(ImageEntry* e, uint16_t bits) { __atomic_fetch_or(&e->flags, bits, __ATOMIC_SEQ_CST); }
inline void ClearEntryFlags(ImageEntry* e, uint16_t bits) {
  __atomic_fetch_and(&e->flags, static_cast<uint16_t>(~bits), __ATOMIC_SEQ_CST);
}
inline void ChangeEntryFlags(ImageEntry* e, uint16_t set, uint16_t clear) {
  uint16_t old = __atomic_load_n(&e->flags, __ATOMIC_SEQ_CST);
  while (!__atomic_compare_exchange_n(&e->flags, &old, static_cast<uint16_t>((old | set) & ~clear), false,
                                      __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
  }
}
inline void SetEntryPresence(ImageEntry* e, uint8_t value) { __atomic_store_n(&e->presence, value, __ATOMIC_SEQ_CST); }
// Adds the selected bit unless the entry has vanished (presence 0) meanwhile.
inline void SelectEntryIfPresent(ImageEntry* e) {
  uint8_t old = __atomic_load_n(&e->presence, __ATOMIC_SEQ_CST);
  while (old != kEntryVanished &&
         !__atomic_compare_exchange_n(&e->presence, &old, static_cast<uint8_t>(old | kEntrySelected), false,
                                      __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
  }
}
inline void UnselectEntry(ImageEntry* e) {
  __atomic_fetch_and(&e->presence, static_cast<uint8_t>(~kEntrySelected), __ATOMIC_SEQ_CST);
}
inline void SetEntryDevelopMode(ImageEntry* e, uint8_t mode) {
  __atomic_store_n(&e->developMode, mode, __ATOMIC_SEQ_CST);
}

// Start of the file-name part: after the last '\' or '/'.
void SetEntryNamePointer(ImageEntry* entry);
