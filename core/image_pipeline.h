// The three pictures an entry keeps (list thumbnail, view image, full RAW development): made
// on demand from the file, its embedded previews or the RAW decoder, and freed level by level.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pure/image_entry.h"
#include "core/raw_develop.h"
#include "core/pure/camera_models.h"

struct IStream;

constexpr int kThumbWidth = 88;
constexpr int kThumbHeight = 60;

// Level 0: the 88 x 60 ARGB thumbnail source, from the loaded cache or the file, for a caller that
// holds "sema" (one wait for each row); a RAW failure box waits for the caller's
// RawFailureBoxHold. False when the file could not be read or decoded (the entry is then marked
// vanished).
bool BuildThumbnailUnderLock(ImageEntry* entry);
// The sizes of the picture a thumbnail was made from, which level 0 notes in the entry's
// information (whole picture, and the part left after the camera's margins).
struct PictureSizes {
  UINT wholeWidth = 0, wholeHeight = 0;
  int croppedWidth = 0, croppedHeight = 0;
  bool known = false;
};
// Level 0 made without the lock, so that several threads make theirs at once: from the picture
// embedded in an ordinary file, in a new bitmap the caller owns (not yet turned), and its sizes,
// which it does not write into the entry. Null when the entry takes the locked road (a cached
// picture, a movie, a RAW file without a thumbnail, a block already read, anything that fails):
// BuildThumbnailUnderLock then does it.
Gdiplus::Bitmap* MakeThumbnailAside(const ImageEntry* entry, PictureSizes* sizes);
// Under the lock: the picture made aside becomes level 0, turned as the entry says, and its sizes
// go into the entry's information; when another thread made level 0 meanwhile the picture is
// deleted. False only without a picture.
bool PutThumbnailMadeAside(ImageEntry* entry, Gdiplus::Bitmap* picture, const PictureSizes& sizes);
// Sets the entry's Exif turns as level 0 takes them; the quarter turns level 0 is turned by.
int SetThumbnailTurns(ImageEntry* entry);
// Level 1: the view image.
bool DecodeViewImage(ImageEntry* entry);
// Level 1 again from the whole picture when it was decoded reduced (for a zoomed pane); false
// when there is no view image or the whole one cannot be had.
bool DecodeWholeViewImage(ImageEntry* entry);
// Level 2: the full development in the given mode; the outcome is the entry's level-2 slot.
void DevelopFullImage(ImageEntry* entry, brn::RawDevelopMode mode);
// One-eighth development into the caller's block (which stays null on failure). False only for
// an entry of the unknown model.
bool DevelopRawEighthSize(ImageEntry* entry, HGLOBAL* block);
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

// What the levels are made from, for other readers of an entry's picture.
struct PictureArea {
  int x, y, width, height;
};
// The area the margins leave of a width x height picture; the whole picture when they leave
// nothing of it (or start outside it).
PictureArea MarginArea(int width, int height, const CameraMargins& margins);
const CameraModelRecord& EntryCameraModel(const ImageEntry* entry);
bool IsRawModelEntry(const ImageEntry* entry);
// RAW types (and the X3F model) whose files are developed when they carry no preview.
bool DevelopsRawWithoutPreview(const ImageEntry* entry);
// The range of the entry's file (size 0: the whole file; from offset 0: at most that many bytes)
// in a new GMEM_FIXED block; null when the file cannot be opened or read, or the range does not
// lie inside it. An MRW preview gets its JPEG start marker back.
HGLOBAL ReadEntryFileRange(const ImageEntry* entry, int32_t offset, int32_t size);
// A copy of the placeholder picture of files that cannot be shown, or null.
HGLOBAL CopyUnknownPictureBlock();
// The picture of the stream: a JPEG decoded whole by libjpeg-turbo, anything else (or a JPEG it
// refuses) by GDI+; null when neither can.
Gdiplus::Image* DecodePictureStream(IStream* stream, bool embeddedColour);
enum class JpegNeed;  // core/jpeg_scaled.h
// The picture of a block of encoded bytes (stream: one over it) shown no larger than needWidth x
// needHeight (0 x 0: whole): a JPEG by libjpeg-turbo at the largest reduction that keeps it at
// least that large, anything else (or a JPEG it refuses) whole as DecodePictureStream gives it.
// The reduction (1, 2, 4 or 8) and the whole picture's size where asked for; null when neither
// decoder can.
Gdiplus::Image* DecodePictureBlock(HGLOBAL block, IStream* stream, int needWidth, int needHeight, JpegNeed how,
                                   bool embeddedColour, int* reduction = nullptr, int* wholeWidth = nullptr,
                                   int* wholeHeight = nullptr);
// Turns clockwise by 1, 2 or 3 quarter turns; other values leave it.
void TurnPicture(Gdiplus::Image* image, int turns);

// While one lives on this thread the RAW failure box waits; it shows when the last one goes.
// Declared before a semaphore is taken, it keeps the box out of the locked stretch.
class RawFailureBoxHold {
 public:
  RawFailureBoxHold();
  ~RawFailureBoxHold();
  RawFailureBoxHold(const RawFailureBoxHold&) = delete;
  RawFailureBoxHold& operator=(const RawFailureBoxHold&) = delete;
};

// Armed by every list load: the first failed RAW development after it shows one box.
extern uint8_t g_rawFailureArmed;
