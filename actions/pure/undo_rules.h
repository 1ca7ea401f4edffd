// Rules of the action history and of the entries' undo records that need no window: the
// history line, the undo stack, the folders and product names of an action, the orientation
// value of a lossless rotation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/pure/image_entry.h"

// "%s:%s->%s" of the kind's short name (kind -2: the sub-folder merge), the name and the result.
std::u16string FormatHistoryLine(int32_t kind, const char16_t* name, int32_t result);
// Done: the kind; failed or skipped: kind + 14. The merge counts as 13.
int32_t HistoryIconIndex(int32_t kind, int32_t result);

// Pushes {kind, text} above the current index; undone records above it are dropped. units: how
// many units of text are copied whole (up to 260: a rotation's words, a product stamp); 0 copies
// up to the terminator. False (entry unchanged) when the array cannot be allocated.
bool PushUndoRecord(ImageEntry* entry, int32_t kind, const char16_t* text, size_t units = 0);
void FreeUndoRecords(ImageEntry* entry);
// Marks the current record undone: kind 0, index - 1; the count stays.
void PopUndoRecord(ImageEntry* entry);
const UndoRecord* CurrentUndoRecord(const ImageEntry* entry);
// The current record moved the file away or deleted it (kinds 4, 5, 6, 13).
bool IsEntryFileInPlaceRule(const ImageEntry* entry);

// Appends '\' unless the text is empty or already ends in one. False when it does not fit.
bool AppendFolderSeparator(char16_t* folder, size_t capacity);
// A folder without a drive ("X:") is taken below the image's folder; ".." segments are folded
// so the result names one folder for good. False when the result does not fit.
bool ResolveAgainstImageFolder(const char16_t* imagePath, const char16_t* folder, char16_t* out, size_t capacity);
// folder (ending in '\') + the name cut at the last '.' of its file-name part + the extension.
bool BuildRenamedProduct(const char16_t* folder, const char16_t* name, const char16_t* extension, char16_t* out,
                         size_t capacity);
// The product of kinds 3, 7, 8, 9 from the record's folder text.
bool BuildUndoProductPath(int32_t kind, const char16_t* recordText, const char16_t* entryPath, char16_t* out,
                          size_t capacity);

// The product's size and write time kept behind the folder text of a record, so an undo
// touches only the file the action made. Needs the folder to end before unit 252.
struct ProductStamp {
  uint32_t size;
  uint32_t timeLow, timeHigh;
};
bool StoreProductStamp(char16_t* text, const ProductStamp& stamp);
bool ReadProductStamp(const char16_t* text, ProductStamp* stamp);

// The Exif orientation cycle {1, 6, 3, 8}, one step per clockwise quarter turn.
int32_t OrientationCycleIndex(int32_t value);  // -1 for other values
int32_t RotatedOrientation(int32_t value, int32_t quarterTurns);  // 0 when the value is not in the cycle
// The two bytes of a value in the file's byte order (1 little-endian, 2 big-endian).
bool EncodeOrientation(int32_t value, int32_t byteOrder, uint8_t out[2]);
// Rotation undo text: the old orientation, Exif quarter turns and user quarter turns.
void StoreRotationUndo(char16_t* text, int32_t orientation, int32_t exifTurns, int32_t userTurns);
