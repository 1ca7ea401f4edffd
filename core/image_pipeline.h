// The three pictures an entry keeps (list thumbnail, view image, full RAW development): made
// on demand from the file, its embedded previews or the RAW decoder, and freed level by level.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pure/image_entry.h"
#include "core/raw_develop.h"

constexpr int kThumbWidth = 88;
constexpr int kThumbHeight = 60;

// Level 0: the 88 x 60 ARGB thumbnail source, from the loaded cache or the file. False when the
// file could not be read or decoded (the entry is then marked vanished).
bool BuildThumbnail(ImageEntry* entry);
// Level 1: the view image.
bool DecodeViewImage(ImageEntry* entry);
// Level 2: the full development in the given mode; the outcome is the entry's level-2 slot.
void DevelopFullImage(ImageEntry* entry, brn::RawDevelopMode mode);
// One-eighth development into the caller's block (which stays null on failure). False only for
// an entry of the unknown model.
bool DevelopRawEighthSize(ImageEntry* entry, HGLOBAL* block);
// The same kept as level 0's block (one-eighth) or level 1's block (half size, flag 0x80).
bool DevelopRawEighthSizeToLevel0(ImageEntry* entry, HGLOBAL* block);
bool DevelopRawHalfSizeToLevel1(ImageEntry* entry, HGLOBAL* block);
// how 0: image, stream and block go (level 2 also its size and flags 0x20, 0x40); how 1 or 2:
// image and stream go, the block stays for a later decode.
void ReleaseEntryLevel(ImageEntry* entry, int level, int how);
// index -1: every level of every entry. n 0: levels 1 and 2 of entry number index. n > 0: index is
// the shown row; levels 1 and 2 go from every entry outside the n selected rows each side of it,
// except those a viewer pane shows. Thumbnails are kept.
void ReleaseCachedImages(int32_t index, int32_t n);
// Writes the embedded preview to a new file; never replaces an existing one.
bool ExportEmbeddedPreview(ImageEntry* entry, const wchar_t* destination);
// Makes the entry of a list row ready for the viewer; false when that is not possible yet.
bool PrepareEntryForView(int32_t position, int fullFlag);

// Armed by every list load: the first failed RAW development after it shows one box.
extern uint8_t g_rawFailureArmed;
