#include "core/image_pipeline.h"

#include <gdiplus.h>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <cwchar>
#include <vector>

#include "core/app_globals.h"
#include "core/embedded_colour.h"
#include "core/file_system.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/jpeg_scaled.h"
#include "core/list_helpers.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/pane_state.h"
#include "core/pipeline_hooks.h"
#include "core/viewer_thread_state.h"
#include "core/window_slots.h"
#include "core/pure/level_rotation.h"
#include "core/pure/thumbnail_geometry.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"
#include "core/stage_clock.h"
#include "core/thumbnail_decode.h"
#include "core/thumbnail_list_thread.h"
#include "core/pure/camera_models.h"
#include "core/movie_probe.h"
#include "core/range_read.h"
#include "core/row_picture_store.h"
#include "core/spare_memory.h"

using namespace Gdiplus;

uint8_t g_rawFailureArmed = 0;

namespace {

constexpr uint32_t kRawTypesDevelopedForThumbs = 0x80094020u;  // CRW, DNG, RAW, MEF, DCR
constexpr uint32_t kWholePictureTypes = 0x20001fu;            // BMP, JPEG, PNG, GIF, TIFF, PSD
constexpr uint32_t kRawTypesForExport = 0x80dfffe0u;
constexpr int32_t kX3fModelCode = 171;
constexpr int kMaxPictureSide = 32767;
// The head of a JPEG file where its profile segments are looked for: as much as the metadata
// dump's read window holds.
constexpr uint32_t kJpegHeadBytes = 65536;

// Set when a development failed while the box was armed; shown once no lock is held.
thread_local bool t_rawFailurePending = false;

}  // namespace

const CameraModelRecord& EntryCameraModel(const ImageEntry* e) {
  int row = e->info.modelRow;
  if (row < 0 || row >= kCameraModelRows) row = g_cameraModelIndex[kUnknownModelCode];
  return kCameraModelTable[row];
}
bool IsRawModelEntry(const ImageEntry* e) { return (EntryCameraModel(e).rawFlag & 0xFF) == 1; }
bool DevelopsRawWithoutPreview(const ImageEntry* e) {
  return (e->info.fileTypeFlag & kRawTypesDevelopedForThumbs) != 0 || EntryCameraModel(e).code == kX3fModelCode;
}

namespace {
bool IsUnknownModel(const ImageEntry* e) { return EntryCameraModel(e).code == kUnknownModelCode; }

// Pictures are decoded with their embedded profile applied unless the colour-matching set-up
// turns it off (CMS_DISABLEICM, which the defaults set).
bool EmbeddedColourOn() { return (g_settings.colorMatchSetup.flags & 1) == 0; }

// Disarmed in one step: two threads failing at once would both have seen it armed.
void NoteRawFailure() {
  if (__atomic_exchange_n(&g_rawFailureArmed, static_cast<uint8_t>(0), __ATOMIC_SEQ_CST) == 1)
    t_rawFailurePending = true;
}

thread_local int t_rawFailureHolds = 0;

// Called by the public entry points after every semaphore has been released.
void ShowPendingRawFailure() {
  if (!t_rawFailurePending || t_rawFailureHolds > 0) return;
  t_rawFailurePending = false;
  ShowAppMessageBox(nullptr, L"RAW現像に失敗しました。", g_productName, MB_ICONERROR);
}

HGLOBAL Block(const ImageEntry* e, int level) { return static_cast<HGLOBAL>(e->levelBlocks[level]); }

void FreeBlock(HGLOBAL block) {
  if (block) GlobalFree(block);
}

void ReleaseStream(IStream*& stream) {
  if (stream) stream->Release();
  stream = nullptr;
}

HGLOBAL ReadFileRange(const ImageEntry* e, int32_t offset, int32_t size, uint32_t* bytesRead = nullptr,
                      bool* outOfMemory = nullptr) {
  return ReadPathRange(reinterpret_cast<const wchar_t*>(e->path), e->info.fileTypeFlag, offset, size, bytesRead,
                       outOfMemory);
}

}  // namespace

HGLOBAL CopyUnknownPictureBlock() {
  if (!g_unknownPicture || g_unknownPictureSize == 0) return nullptr;
  HGLOBAL block = AllocGlobal(GMEM_FIXED, g_unknownPictureSize);
  if (!block) return nullptr;
  const void* source = GlobalLock(g_unknownPicture);
  if (!source) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(block, source, g_unknownPictureSize);
  GlobalUnlock(g_unknownPicture);
  return block;
}

namespace {
// A JPEG in the stream decoded whole by libjpeg-turbo (several times faster than the system's
// decoder under Wine), its embedded profile applied when asked; null, the stream rewound, for
// anything else or anything it refuses.
Image* DecodeJpegStream(IStream* stream, bool embeddedColour) {
  LARGE_INTEGER zero{};
  STATSTG stat{};
  uint8_t start[2] = {};
  ULONG got = 0;
  if (FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)) || FAILED(stream->Read(start, 2, &got)) || got != 2 ||
      start[0] != 0xFF || start[1] != 0xD8 || FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      stat.cbSize.QuadPart > 0x7FFFFFFF) {
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return nullptr;
  }
  const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
  Image* image = nullptr;
  if (uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size))) {
    bytes[0] = start[0];
    bytes[1] = start[1];
    ULONG rest = 0;
    if (SUCCEEDED(stream->Read(bytes + 2, size - 2, &rest))) {
      ScaledJpeg jpeg;
      if (DecodeJpegScaled(bytes, rest + 2, 0, 0, JpegNeed::kCover, &jpeg)) {
        image = jpeg.bitmap;
        ApplyEmbeddedJpegColour(embeddedColour, bytes, rest + 2, jpeg.bitmap);
      }
    }
    std::free(bytes);
  }
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  return image;
}
}  // namespace

// A decoded picture over the stream, or null when GDI+ cannot read it.
Image* DecodePictureStream(IStream* stream, bool embeddedColour) {
  if (!stream) return nullptr;
  if (Image* jpeg = DecodeJpegStream(stream, embeddedColour)) return jpeg;
  Image* image = new Image(stream, embeddedColour ? TRUE : FALSE);
  if (image && (image->GetLastStatus() != Ok || image->GetWidth() == 0 || image->GetHeight() == 0)) {
    delete image;
    image = nullptr;
  }
  return image;
}

Image* DecodePictureBlock(HGLOBAL block, IStream* stream, int needWidth, int needHeight, JpegNeed how,
                          bool embeddedColour, int* reduction, int* wholeWidth, int* wholeHeight) {
  ScaledJpeg jpeg;
  Image* image = nullptr;
  if (DecodeJpegBlockScaled(block, needWidth, needHeight, how, &jpeg)) {
    image = jpeg.bitmap;
    ApplyEmbeddedJpegColourBlock(embeddedColour, block, jpeg.bitmap);
  } else if (stream && (image = DecodePictureStream(stream, embeddedColour)) != nullptr) {
    jpeg.width = static_cast<int>(image->GetWidth());
    jpeg.height = static_cast<int>(image->GetHeight());
    jpeg.reduction = 1;
  }
  if (reduction) *reduction = image ? jpeg.reduction : 1;
  if (wholeWidth) *wholeWidth = image ? jpeg.width : 0;
  if (wholeHeight) *wholeHeight = image ? jpeg.height : 0;
  return image;
}

void TurnPicture(Image* image, int turns) {
  static const RotateFlipType kTurns[4] = {RotateNoneFlipNone, Rotate90FlipNone, Rotate180FlipNone,
                                           Rotate270FlipNone};
  if (image && turns > 0 && turns < 4) image->RotateFlip(kTurns[turns]);
}

namespace {

// Sets the entry's Exif turns from its orientation (other orientations: 0 when resetOthers)
// and returns the total turns.
int UpdateExifTurns(ImageEntry* e, bool resetOthers) {
  int turns = ExifQuarterTurns(EffectiveOrientation(e->info.orientation, g_settings.autoRotateByExif == 1));
  if (turns >= 0) {
    e->exifRotation = static_cast<int8_t>(turns);
  } else if (resetOthers) {
    e->exifRotation = 0;
  }
  return TotalQuarterTurns(e->userRotation, e->exifRotation);
}

Rect CropRect(const Image* image, const CameraMargins& m) {
  PictureArea a = MarginArea(static_cast<int>(const_cast<Image*>(image)->GetWidth()),
                             static_cast<int>(const_cast<Image*>(image)->GetHeight()), m);
  return Rect(a.x, a.y, a.width, a.height);
}

// A RAW development of fixed size under "sema_dec"; reports a failure once per list load.
bool DevelopFixedSize(ImageEntry* e, brn::RawDevelopMode mode, HGLOBAL* block) {
  uint32_t size;
  {
    SemaphoreLock decoder(kSemaDecoder);
    size = brn::DevelopRawToTiff(reinterpret_cast<const wchar_t*>(e->path), block, mode);
  }
  if (size == 0 || !*block) {
    NoteRawFailure();
    return false;
  }
  return true;
}

bool EighthSizeToLevel0(ImageEntry* e, HGLOBAL* block) {
  if (IsUnknownModel(e)) return false;
  if (e->levelImages[kLevelThumbnail] || e->levelBlocks[kLevelThumbnail]) return true;
  if (DevelopFixedSize(e, 3, block)) e->levelBlocks[kLevelThumbnail] = *block;
  return true;
}

bool HalfSizeToLevel1(ImageEntry* e, HGLOBAL* block) {
  if (IsUnknownModel(e)) return false;
  if (e->levelImages[kLevelView] || e->levelBlocks[kLevelView]) return true;
  if (DevelopFixedSize(e, 0, block)) {
    e->levelBlocks[kLevelView] = *block;
    SetEntryFlags(e, kEntryViewFromHalfRaw);
  }
  return true;
}

// Opens the level's stream over its block; false (block freed) when that cannot be done.
bool OpenLevelStream(ImageEntry* e, int level) {
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, Block(e, level), false)) || !holder.stream) {
    FreeBlock(Block(e, level));
    e->levelBlocks[level] = nullptr;
    return false;
  }
  e->levelStreams[level] = holder.stream;
  return true;
}

void DropLevelSource(ImageEntry* e, int level) {
  ReleaseStream(e->levelStreams[level]);
  // A view picture's bytes are kept for the next one's read.
  if (level == kLevelView) GiveBackReadBlock(Block(e, level));
  else FreeBlock(Block(e, level));
  e->levelBlocks[level] = nullptr;
}

// The cache's 88 x 60 pixels of the entry in a new bitmap (not turned); null without them.
Bitmap* CachedThumbnailBitmap(const ImageEntry* e) {
  const uint8_t* pixels = LoadedCacheThumbnail(e->cacheIndex);
  if (!pixels) return nullptr;
  StageClock clock(kClockLevel0);
  return RowPictureOfBgr(pixels, kThumbWidth, kThumbHeight);
}

bool ThumbnailFromCache(ImageEntry* e) {
  Bitmap* bitmap = CachedThumbnailBitmap(e);
  if (!bitmap) return false;
  e->levelImages[kLevelThumbnail] = bitmap;
  return true;
}

// Notes the thumbnail's picture size in the entry's information, under "sema": the whole
// picture's (when the thumbnail is the picture itself) and the cropped one's.
void NoteThumbnailSizes(ImageEntry* e, const PictureSizes& sizes) {
  if (!sizes.known) return;
  if ((e->info.fileTypeFlag & kWholePictureTypes) && e->info.thumbOffset == e->info.previewOffset &&
      e->info.pixelSize[0] == 0) {
    wchar_t text[16] = {};  // the whole field goes into the cache file
    swprintf(text, 16, L"%u*%u", sizes.wholeWidth, sizes.wholeHeight);
    std::memcpy(e->info.pixelSize, text, sizeof text);
    e->info.pixelSize[15] = 0;
  }
  if (e->info.fileTypeFlag != kFileTypeMovie && sizes.croppedWidth <= kMaxPictureSide &&
      sizes.croppedHeight <= kMaxPictureSide) {
    e->info.width = static_cast<int16_t>(sizes.croppedWidth);
    e->info.height = static_cast<int16_t>(sizes.croppedHeight);
  }
}

void FoundSizes(PictureSizes* sizes, UINT wholeWidth, UINT wholeHeight, int croppedWidth, int croppedHeight) {
  *sizes = PictureSizes{wholeWidth, wholeHeight, croppedWidth, croppedHeight, true};
}

// A JPEG without margins decoded into words and drawn by the program's own scaler, the pixels
// GDI+'s drawing gave (see ScaleIntoBox): the 88 x 60 picture is then the one bitmap made. Null,
// with nothing noted, for what libjpeg-turbo refuses.
Bitmap* ThumbnailFromJpegWords(HGLOBAL block, StageClock& decode, PictureSizes* found) {
  static thread_local SourceWords pixels, thumb;
  ScaledJpeg sizes;
  if (!DecodeJpegBlockScaledWords(block, kThumbWidth, kThumbHeight, JpegNeed::kCover, &pixels, &sizes)) return nullptr;
  decode.Stop();
  StageClock draw(kClockLevel0);
  FoundSizes(found, static_cast<UINT>(sizes.width), static_cast<UINT>(sizes.height), sizes.width, sizes.height);
  thumb.words.resize(kThumbWidth * kThumbHeight);
  ScaleIntoBox(pixels.words.data(), pixels.width, pixels.height, thumb.words.data(), kThumbWidth, kThumbHeight,
               ThumbRect{0, 0, kThumbWidth, kThumbHeight});
  // A large embedded picture is not held on to between rows.
  if (pixels.words.capacity() > (1u << 18)) std::vector<uint32_t>().swap(pixels.words);
  return RowPictureOfWords(thumb.words.data(), kThumbWidth, kThumbHeight);
}

// Whether the thumbnail's colours come from the profile in its file's head: the thumbnail a
// JPEG file embeds (an Exif thumbnail carries no profile) when the view shows the file itself.
bool ThumbnailTakesFileProfile(const ImageEntry* e) {
  return EmbeddedColourOn() && e->info.fileTypeFlag == kFileTypeJpg && e->info.previewOffset == 0 &&
         e->info.thumbOffset > 0;
}

// The thumbnail's bytes in a new block. Where the file's profile is wanted, its head goes into
// *head too: the window the metadata dump has just read (nothing is read twice), and the
// thumbnail's bytes are copied from it when they lie in it.
HGLOBAL ReadThumbnailRange(const ImageEntry* e, HGLOBAL* head) {
  *head = nullptr;
  StageClock clock(kClockThumbRead);
  if (ThumbnailTakesFileProfile(e)) {
    uint32_t got = 0;
    const uint32_t want = e->info.fileSize > 0 && e->info.fileSize < kJpegHeadBytes ? e->info.fileSize : kJpegHeadBytes;
    *head = ReadFileRange(e, 0, static_cast<int32_t>(want), &got);
    const int64_t end = static_cast<int64_t>(e->info.thumbOffset) + e->info.thumbSize;
    if (*head && e->info.thumbSize > 0 && end <= got) {
      if (HGLOBAL block = AllocGlobal(GMEM_FIXED, static_cast<uint32_t>(e->info.thumbSize))) {
        std::memcpy(block, static_cast<uint8_t*>(static_cast<void*>(*head)) + e->info.thumbOffset,
                    static_cast<size_t>(e->info.thumbSize));
        return block;
      }
    }
  }
  return ReadFileRange(e, e->info.thumbOffset, e->info.thumbSize);
}

// With embedded colour management on, the thumbnail gets the colours of the view: converted
// after the shrink (thousands of pixels, not millions) from the profile of its own JPEG bytes,
// else, where ThumbnailTakesFileProfile, from the one in its file's head (read here when the
// caller has none).
void ConvertThumbnailColours(const ImageEntry* e, HGLOBAL block, HGLOBAL head, Bitmap* thumb) {
  if (!EmbeddedColourOn()) return;
  StageClock convert(kClockLevel0);
  if (ApplyEmbeddedJpegColourKept(block, thumb) || !ThumbnailTakesFileProfile(e)) return;
  HGLOBAL read = nullptr;
  if (!head) {
    convert.Stop();
    StageClock clock(kClockThumbRead);
    head = read = ReadFileRange(e, 0, static_cast<int32_t>(kJpegHeadBytes));
  }
  StageClock convertHead(kClockLevel0);
  ApplyEmbeddedJpegColourKept(head, thumb);
  FreeBlock(read);
}

// Steps 4 to 6 of the thumbnail: the embedded picture in the stream decoded and drawn into a new
// 88 x 60 bitmap (not turned); the picture's sizes go to found, for the entry's information. Null
// when it cannot be decoded.
Bitmap* ThumbnailFromStream(const ImageEntry* e, IStream* stream, HGLOBAL block, HGLOBAL head, PictureSizes* found) {
  StageClock decode(kClockDecode);
  // A JPEG is decoded no larger than the thumbnail needs (a whole camera picture at an eighth);
  // with margins to cut, whole, as they are counted in the picture's own pixels.
  const CameraMargins& margins = EntryCameraModel(e).thumbMargins;
  const bool margined = margins.top + margins.bottom + margins.left + margins.right != 0;
  if (!margined) {
    if (Bitmap* thumb = ThumbnailFromJpegWords(block, decode, found)) {
      ConvertThumbnailColours(e, block, head, thumb);
      return thumb;
    }
  }
  ScaledJpeg jpeg;
  Image* source = nullptr;
  UINT wholeWidth = 0, wholeHeight = 0;
  bool converted = false;  // the decoder applied the profile itself
  if (margined && DecodeJpegBlockScaled(block, 0, 0, JpegNeed::kCover, &jpeg)) {
    source = jpeg.bitmap;
    wholeWidth = static_cast<UINT>(jpeg.width);
    wholeHeight = static_cast<UINT>(jpeg.height);
  } else {
    source = DecodeJpegThumbnail(stream);
    if (!source) {
      source = DecodePictureStream(stream, EmbeddedColourOn());
      converted = true;
    }
    if (source) {
      wholeWidth = source->GetWidth();
      wholeHeight = source->GetHeight();
    }
  }
  decode.Stop();
  if (!source) return nullptr;
  StageClock draw(kClockLevel0);
  Rect crop = CropRect(source, margins);
  FoundSizes(found, wholeWidth, wholeHeight, crop.Width, crop.Height);
  Bitmap* thumb = new Bitmap(kThumbWidth, kThumbHeight, PixelFormat32bppARGB);
  if (thumb && thumb->GetLastStatus() == Ok) {
    Graphics g(thumb);
    g.SetSmoothingMode(SmoothingModeHighSpeed);
    g.SetInterpolationMode(InterpolationModeLowQuality);
    g.DrawImage(source, Rect(0, 0, kThumbWidth, kThumbHeight), crop.X, crop.Y, crop.Width, crop.Height, UnitPixel);
  } else {
    delete thumb;
    thumb = nullptr;
  }
  delete source;
  draw.Stop();
  if (thumb && !converted) ConvertThumbnailColours(e, block, head, thumb);
  return thumb;
}

// Steps 3 to 6 of the thumbnail: the source picture drawn into the 88 x 60 bitmap.
bool ThumbnailFromFile(ImageEntry* e) {
  HGLOBAL block = Block(e, kLevelThumbnail), head = nullptr;
  bool movie = e->info.fileTypeFlag == kFileTypeMovie;
  if (!block) {
    if (e->info.thumbSize == 0 && IsRawModelEntry(e)) {
      if (DevelopsRawWithoutPreview(e)) {
        HGLOBAL developed = nullptr;
        EighthSizeToLevel0(e, &developed);
      } else {
        e->levelBlocks[kLevelThumbnail] = CopyUnknownPictureBlock();
      }
    } else if (movie) {
      int second = g_settings.movieThumbSecond;
      e->levelBlocks[kLevelThumbnail] =
          GrabMovieFrame(e, second, g_settings.thumbWidth, g_settings.thumbHeight);
      e->movieThumbSecond = static_cast<int16_t>(second);
    } else {
      e->levelBlocks[kLevelThumbnail] = ReadThumbnailRange(e, &head);
    }
    block = Block(e, kLevelThumbnail);
  }
  if (!block || !OpenLevelStream(e, kLevelThumbnail)) {
    FreeBlock(head);
    return false;
  }
  PictureSizes sizes;
  Bitmap* thumb = ThumbnailFromStream(e, e->levelStreams[kLevelThumbnail], Block(e, kLevelThumbnail), head, &sizes);
  NoteThumbnailSizes(e, sizes);
  DropLevelSource(e, kLevelThumbnail);
  FreeBlock(head);
  e->levelImages[kLevelThumbnail] = thumb;
  return thumb != nullptr;
}

bool BuildThumbnailLocked(ImageEntry* e) {
  if (e->levelImages[kLevelThumbnail]) return true;
  if (!ThumbnailFromCache(e) && !ThumbnailFromFile(e)) {
    // A movie without a frame (no codec) or a picture cut short is still there; only a file
    // that is gone has vanished, so file actions still take it.
    if (!PathExists(reinterpret_cast<const wchar_t*>(e->path))) SetEntryPresence(e, kEntryVanished);
    return false;
  }
  TurnPicture(e->levelImages[kLevelThumbnail], SetThumbnailTurns(e));
  return true;
}

// decoded: the picture already decoded from the entry's level stream (null: decode it here).
bool DecodeViewImageLocked(ImageEntry* e, Image* decoded = nullptr) {
  if (e->levelImages[kLevelView]) return true;
  if (!Block(e, kLevelView)) {
    if (e->info.previewSize == 0 && IsRawModelEntry(e)) {
      if (DevelopsRawWithoutPreview(e)) {
        HGLOBAL developed = nullptr;
        HalfSizeToLevel1(e, &developed);
        if (!Block(e, kLevelView)) return false;
      } else {
        e->levelBlocks[kLevelView] = CopyUnknownPictureBlock();
        if (!Block(e, kLevelView)) {
          SetEntryPresence(e, kEntryVanished);
          return false;
        }
      }
    } else if (e->info.fileTypeFlag == kFileTypeMovie) {
      if (e->info.width <= 0 || e->info.height <= 0) return false;
      e->levelBlocks[kLevelView] =
          GrabMovieFrame(e, e->movieThumbSecond, e->info.width, e->info.height);
      if (!Block(e, kLevelView)) return false;
    } else {
      bool outOfMemory = false;
      e->levelBlocks[kLevelView] = ReadFileRange(e, e->info.previewOffset, e->info.previewSize, nullptr, &outOfMemory);
      if (!Block(e, kLevelView)) {
        // Short of memory the file is still there: the viewer tries again later.
        if (!outOfMemory) SetEntryPresence(e, kEntryVanished);
        return false;
      }
    }
  }
  if (!e->levelStreams[kLevelView] && !OpenLevelStream(e, kLevelView)) {
    SetEntryPresence(e, kEntryVanished);
    return false;
  }
  Image* image = decoded ? decoded : DecodePictureStream(e->levelStreams[kLevelView], EmbeddedColourOn());
  if (!image) {
    DropLevelSource(e, kLevelView);
    // A file that is there but cannot be decoded (one cut short) is shown as unreadable; only
    // a file that is gone has vanished, so file actions still take it.
    if (PathExists(reinterpret_cast<const wchar_t*>(e->path))) {
      e->levelBlocks[kLevelView] = CopyUnknownPictureBlock();
      if (Block(e, kLevelView) && OpenLevelStream(e, kLevelView))
        image = DecodePictureStream(e->levelStreams[kLevelView], false);
      if (!image) {
        DropLevelSource(e, kLevelView);
        // Without the unreadable-file picture: a small grey one, so the viewer stops trying.
        Bitmap* grey = new Bitmap(kThumbWidth, kThumbHeight, PixelFormat32bppARGB);
        if (grey && grey->GetLastStatus() == Ok) {
          Graphics g(grey);
          g.Clear(Color(0xFF808080));
          image = grey;
        } else {
          delete grey;
        }
      }
    }
    if (!image) {
      SetEntryPresence(e, kEntryVanished);
      return false;
    }
  }
  const CameraMargins& m = EntryCameraModel(e).viewMargins;
  if (m.top + m.bottom + m.left + m.right != 0) {
    Rect crop = CropRect(image, m);
    Bitmap* cropped = new Bitmap(crop.Width, crop.Height, PixelFormat32bppARGB);
    if (cropped && cropped->GetLastStatus() == Ok) {
      Graphics g(cropped);
      g.SetSmoothingMode(SmoothingModeHighQuality);
      g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
      g.DrawImage(image, Rect(0, 0, crop.Width, crop.Height), crop.X, crop.Y, crop.Width, crop.Height, UnitPixel);
      delete image;
      image = cropped;
    } else {
      delete cropped;
    }
  }
  TurnPicture(image, UpdateExifTurns(e, false));
  e->levelImages[kLevelView] = image;
  e->viewReduction = 1;
  g_pipelineHooks.touchEntryImage(e, kLevelView);
  return true;
}

// The size the viewer shows pictures fitted into: its largest pane. 0 x 0 while a pane is zoomed
// (the whole picture is drawn from) or none is open.
void ViewerNeed(int* width, int* height) {
  *width = *height = 0;
  if (g_zoomMode) return;
  const int panes = CurrentPaneCount();
  for (int k = 0; k < panes && k < 4; ++k) {
    RECT client{};
    HWND pane = GetPaneControl(k);
    if (!pane || !GetClientRect(pane, &client)) continue;
    if (client.right > *width) *width = client.right;
    if (client.bottom > *height) *height = client.bottom;
  }
  if (*width <= 0 || *height <= 0) *width = *height = 0;
}

// The view image's picture from the block: a JPEG by libjpeg-turbo at the reduction the panes
// allow (whole with wantWhole), anything else (or a JPEG it refuses) by the system's decoder.
Image* DecodeViewBlock(HGLOBAL block, IStream* stream, bool wantWhole, int* reduction) {
  int needWidth = 0, needHeight = 0;
  if (!wantWhole) ViewerNeed(&needWidth, &needHeight);
  return DecodePictureBlock(block, stream, needWidth, needHeight, JpegNeed::kFitInside, EmbeddedColourOn(), reduction);
}

// The same from the bytes as the reader reads them, for a JPEG libjpeg-turbo takes (the pixels
// DecodeViewBlock gives); null for anything else, which DecodeViewBlock then takes.
Image* DecodeArrivingView(RangeReader& reader, bool wantWhole, int* reduction) {
  int needWidth = 0, needHeight = 0;
  if (!wantWhole) ViewerNeed(&needWidth, &needHeight);
  ScaledJpeg jpeg;
  if (!DecodeArrivingJpegScaled(reader.Bytes(), reader.Size(), &reader, needWidth, needHeight, JpegNeed::kFitInside,
                                &jpeg))
    return nullptr;
  // A profile is looked for in the whole file: the rest of it is waited for (a read cut short
  // drops the picture anyway).
  if (EmbeddedColourOn() && reader.WaitFor(reader.Size()) >= reader.Size())
    ApplyEmbeddedJpegColour(true, reader.Bytes(), reader.Size(), jpeg.bitmap);
  *reduction = jpeg.reduction;
  return jpeg.bitmap;
}

}  // namespace

int SetThumbnailTurns(ImageEntry* entry) { return UpdateExifTurns(entry, true); }

bool BuildThumbnailUnderLock(ImageEntry* entry) {
  if (!entry) return false;
  if (entry->levelImages[kLevelThumbnail]) return true;
  bool ok = BuildThumbnailLocked(entry);
  ShowPendingRawFailure();
  return ok;
}

Bitmap* MakeThumbnailAside(const ImageEntry* e, PictureSizes* sizes) {
  // A cached picture is taken under the lock, as BuildThumbnailUnderLock prefers it to the file.
  if (!e || e->levelImages[kLevelThumbnail] || LoadedCacheThumbnail(e->cacheIndex)) return nullptr;
  if (Block(e, kLevelThumbnail) || e->info.fileTypeFlag == kFileTypeMovie ||
      (e->info.thumbSize == 0 && IsRawModelEntry(e)))
    return nullptr;
  HGLOBAL head = nullptr;
  HGLOBAL block = ReadThumbnailRange(e, &head);
  if (!block) {
    FreeBlock(head);
    return nullptr;
  }
  brn::MemoryStreamHolder holder;
  Bitmap* thumb = nullptr;
  if (SUCCEEDED(brn::OpenMemoryStream(&holder, block, false)) && holder.stream) {
    thumb = ThumbnailFromStream(e, holder.stream, block, head, sizes);
    ReleaseStream(holder.stream);
  }
  FreeBlock(block);
  FreeBlock(head);
  return thumb;
}

bool PutThumbnailMadeAside(ImageEntry* e, Bitmap* picture, const PictureSizes& sizes) {
  if (!e || !picture) return false;
  if (e->levelImages[kLevelThumbnail]) {
    delete picture;  // another thread made it meanwhile: the same pixels
    return true;
  }
  NoteThumbnailSizes(e, sizes);
  e->levelImages[kLevelThumbnail] = picture;
  TurnPicture(picture, SetThumbnailTurns(e));
  return true;
}

bool DecodeViewImage(ImageEntry* entry) {
  if (!entry) return false;
  if (entry->levelImages[kLevelView]) return true;
  // A picture file's decode is the long part (over half a second for 20 megapixels under Wine):
  // it runs outside "sema", so that the panes are painted meanwhile, and its result is put in
  // place under it. Anything unusual (RAW, movie, a failure) takes the whole way under "sema".
  HGLOBAL block = nullptr;
  IStream* stream = nullptr;
  // The file is read outside "sema" too: held through the read, a step to a prepared picture
  // waited for the read of the next one.
  wchar_t path[kEntryPathChars];
  uint32_t fileType = 0;
  int32_t offset = 0, size = 0;
  bool plain;
  {
    SemaphoreLock lock(kSemaImage);
    if (entry->levelImages[kLevelView]) return true;
    plain = !(entry->info.previewSize == 0 && IsRawModelEntry(entry)) && entry->info.fileTypeFlag != kFileTypeMovie &&
            !Block(entry, kLevelView) && !entry->levelStreams[kLevelView];
    std::memcpy(path, entry->path, sizeof path);
    path[kEntryPathChars - 1] = 0;
    fileType = entry->info.fileTypeFlag;
    offset = entry->info.previewOffset;
    size = entry->info.previewSize;
  }
  // Margins to cut are counted in the picture's own pixels, and a RAW file's preview decides by
  // its size whether the file is developed: such pictures are decoded whole.
  const CameraMargins& m = EntryCameraModel(entry).viewMargins;
  const bool wantWhole = m.top + m.bottom + m.left + m.right != 0 || (IsRawModelEntry(entry) && !IsUnknownModel(entry));
  int reduction = 1;
  Image* decoded = nullptr;
  RangeReader reader;
  if (plain && reader.Start(path, fileType, offset, size)) {
    // A JPEG is decoded from its bytes as a helper reads them: the read no longer comes first.
    decoded = DecodeArrivingView(reader, wantWhole, &reduction);
    block = reader.Finish();
    if (!block) {
      delete decoded;
      decoded = nullptr;
    }
  }
  brn::MemoryStreamHolder holder;
  if (block && SUCCEEDED(brn::OpenMemoryStream(&holder, block, false)) && holder.stream) stream = holder.stream;
  if (!stream) {
    delete decoded;
    decoded = nullptr;
  } else if (!decoded) {
    decoded = DecodeViewBlock(block, stream, wantWhole, &reduction);
  }
  bool ok;
  {
    SemaphoreLock lock(kSemaImage);
    if (decoded && !entry->levelImages[kLevelView] && !Block(entry, kLevelView) && !entry->levelStreams[kLevelView]) {
      entry->levelBlocks[kLevelView] = block;
      entry->levelStreams[kLevelView] = stream;
      block = nullptr;
      stream = nullptr;
      ok = DecodeViewImageLocked(entry, decoded);
      if (ok) entry->viewReduction = static_cast<uint8_t>(reduction);
      decoded = nullptr;
    } else {
      ok = DecodeViewImageLocked(entry);
    }
  }
  delete decoded;
  ReleaseStream(stream);
  GiveBackReadBlock(block);
  ShowPendingRawFailure();
  return ok;
}

bool DecodeWholeViewImage(ImageEntry* entry) {
  if (!entry) return false;
  // The file's bytes kept with the reduced picture, copied: the level may be freed meanwhile.
  HGLOBAL copy = nullptr;
  {
    SemaphoreLock lock(kSemaImage);
    if (!entry->levelImages[kLevelView] || entry->viewReduction <= 1) return entry->levelImages[kLevelView] != nullptr;
    HGLOBAL block = Block(entry, kLevelView);
    const SIZE_T size = block ? GlobalSize(block) : 0;
    if (size > 0 && (copy = AllocGlobal(GMEM_FIXED, static_cast<uint32_t>(size))) != nullptr)
      std::memcpy(copy, block, size);
  }
  if (!copy) return false;
  Image* whole = nullptr;
  brn::MemoryStreamHolder holder;
  if (SUCCEEDED(brn::OpenMemoryStream(&holder, copy, false)) && holder.stream) {
    int reduction = 1;
    whole = DecodeViewBlock(copy, holder.stream, true, &reduction);
    ReleaseStream(holder.stream);
  }
  FreeBlock(copy);
  if (!whole) return false;
  SemaphoreLock lock(kSemaImage);
  Image*& view = entry->levelImages[kLevelView];
  if (!view || entry->viewReduction <= 1) {
    delete whole;  // freed or made whole meanwhile
    return view != nullptr;
  }
  TurnPicture(whole, TotalQuarterTurns(entry->userRotation, entry->exifRotation));
  g_pipelineHooks.forgetFittedPictures(view);
  delete view;
  view = whole;
  entry->viewReduction = 1;
  g_pipelineHooks.touchEntryImage(entry, kLevelView);
  return true;
}

void DevelopFullImage(ImageEntry* entry, brn::RawDevelopMode mode) {
  if (!entry || entry->levelImages[kLevelFull] || IsUnknownModel(entry)) return;
  {
    SemaphoreLock raw(kSemaRaw);
    // Other threads may make or free levels 0 and 1 meanwhile: work on copies of what the
    // development needs and write back only the level-2 fields.
    wchar_t path[kEntryPathChars];
    std::memcpy(path, entry->path, sizeof path);
    path[kEntryPathChars - 1] = 0;
    HGLOBAL block = Block(entry, kLevelFull);
    uint32_t size = static_cast<uint32_t>(entry->fullLevelSize);
    if (!block) {
      {
        SemaphoreLock decoder(kSemaDecoder);
        size = brn::DevelopRawToTiff(path, &block, mode);
      }
      if (size == 0 || !block) {
        NoteRawFailure();
        block = nullptr;
      }
    }
    if (block && !entry->levelImages[kLevelFull]) {
      // A stream left by an earlier decode that failed would leak under the new one.
      ReleaseStream(entry->levelStreams[kLevelFull]);
      brn::MemoryStreamHolder holder;
      if (FAILED(brn::OpenMemoryStream(&holder, block, false)) || !holder.stream) {
        entry->levelBlocks[kLevelFull] = block;
        entry->fullLevelSize = static_cast<int32_t>(size);
      } else {
        SemaphoreLock image(kSemaImage);
        Image* decoded = DecodePictureStream(holder.stream, false);
        if (mode == 0) {
          SetEntryFlags(entry, kEntryHalfSizeDevelopment);
        } else {
          ClearEntryFlags(entry, kEntryHalfSizeDevelopment);
        }
        TurnPicture(decoded, UpdateExifTurns(entry, false));
        entry->levelBlocks[kLevelFull] = block;
        entry->fullLevelSize = static_cast<int32_t>(size);
        entry->levelStreams[kLevelFull] = holder.stream;
        entry->levelImages[kLevelFull] = decoded;
        if (decoded) g_pipelineHooks.touchEntryImage(entry, kLevelFull);
      }
    }
  }
  ShowPendingRawFailure();
}

bool DevelopRawEighthSize(ImageEntry* entry, HGLOBAL* block) {
  if (!entry || IsUnknownModel(entry)) return false;
  DevelopFixedSize(entry, 3, block);
  ShowPendingRawFailure();
  return true;
}

void ReleaseEntryLevel(ImageEntry* entry, int level, int how) {
  if (!entry || level < kLevelThumbnail || level > kLevelFull) return;
  // Level 2 is made under "raw", but the panes draw every level under "sema": freed under
  // "raw" alone, a developed picture went while a pane drew it.
  std::optional<SemaphoreLock> raw;
  if (level == kLevelFull) raw.emplace(kSemaRaw);
  SemaphoreLock lock(kSemaImage);
  Image*& image = entry->levelImages[level];
  g_pipelineHooks.forgetFittedPictures(image);
  if (level == kLevelView) entry->viewReduction = 0;
  if (how == 0) {
    delete image;
    image = nullptr;
    DropLevelSource(entry, level);
    if (level == kLevelFull) {
      entry->fullLevelSize = 0;
      ClearEntryFlags(entry, kEntryWantFullDevelopment | kEntryDevelopmentCleared);
    }
  } else if (image) {
    delete image;
    image = nullptr;
    ReleaseStream(entry->levelStreams[level]);
  }
}

namespace {
void ReleaseViewLevels(int32_t number) {
  ImageEntry* e = EntryAt(number);
  if (!e) return;
  ReleaseEntryLevel(e, kLevelFull, 0);
  ReleaseEntryLevel(e, kLevelView, 0);
  if (e->presence == kEntryVanished) g_pipelineHooks.releaseMovieSlot(number);
}
}  // namespace

RawFailureBoxHold::RawFailureBoxHold() { ++t_rawFailureHolds; }
RawFailureBoxHold::~RawFailureBoxHold() {
  --t_rawFailureHolds;
  ShowPendingRawFailure();
}

void ReleaseCachedImages(int32_t index, int32_t n) {
  if (g_entryCount <= 0 || !g_entryPointers || !g_displayOrder) return;
  if (index == -1) {
    for (int32_t i = 0; i < g_entryCount; ++i)
      if (ImageEntry* e = EntryAt(i))
        for (int level = kLevelFull; level >= kLevelThumbnail; --level) ReleaseEntryLevel(e, level, 0);
    return;
  }
  if (n <= 0) {
    if (index >= 0 && index < g_entryCount) ReleaseViewLevels(index);
    return;
  }
  const int32_t count = g_listCount;
  if (index < 0 || index >= count) return;
  int start = index;
  if (FindNextFlaggedEntry(&start, 0, n) == count - 1 || start < 0) return;
  int after = start;
  if (FindNextFlaggedEntry(&after, 1, 2 * n + 1) == count - CurrentPaneCount() || after < 0) return;
  // From the first row past the window round to its start: at most once round the list.
  for (int32_t row = after, steps = 0; row != start && steps < count; row = row + 1 < count ? row + 1 : 0, ++steps) {
    if (FindPaneByOrderNumber(row) < 0) ReleaseViewLevels(g_displayOrder[row]);
  }
}

bool ExportEmbeddedPreview(ImageEntry* entry, const wchar_t* destination) {
  if (!entry || !destination || !destination[0]) return false;
  if ((entry->info.fileTypeFlag & kRawTypesForExport) && entry->info.previewSize == 0) return false;
  HGLOBAL block;
  uint32_t size;
  if (entry->info.fileTypeFlag == kFileTypeMovie) {
    block = GrabMovieFrame(entry, entry->movieThumbSecond, entry->info.width, entry->info.height);
    size = block ? static_cast<uint32_t>(GlobalSize(block)) : 0;
  } else {
    block = ReadFileRange(entry, entry->info.previewOffset, entry->info.previewSize, &size);
  }
  if (!block) return false;
  // A RAW+JPEG pair's camera JPEG (or the source itself) may carry the target's name.
  HANDLE file = CreateFileW(destination, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = false;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    const void* bytes = GlobalLock(block);
    ok = bytes && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    GlobalUnlock(block);
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileW(destination);
  }
  GlobalFree(block);
  return ok;
}

bool PrepareEntryForView(int32_t position, int fullFlag) {
  if (position < 0 || g_entryCount <= 0 || !g_entryPointers || position >= g_listCount) return false;
  ImageEntry* e = EntryAtRow(position);
  if (!e) return false;
  if (e->presence == kEntryVanished) return true;
  if (!(e->flags & kEntryInfoRead)) {
    // Only where none is pending, in one step: the list thread takes it meanwhile.
    InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&g_listNextRowRequest), position, -1);
    return false;
  }
  // A row drawn from the cache file's pixels gets level 0 and its histogram picture only after
  // the pass has read every new file: the viewer asking first has them made now (from the same
  // pixels), so a RAW picture is developed and the overlay has its histogram without that wait.
  if (!e->levelImages[kLevelThumbnail] && !(e->flags & kEntryRenderAgain) && LoadedCacheThumbnail(e->cacheIndex)) {
    RawFailureBoxHold boxAfterUnlock;
    SemaphoreLock lock(kSemaImage);
    FinishCachedRow(e);
  }
  if (!e->levelImages[kLevelView]) {
    SetEntryDevelopMode(e, 1);
    DecodeViewImage(e);
    if (IsRawModelEntry(e) && !IsUnknownModel(e)) {
      ChangeEntryFlags(e, kEntryWantFullDevelopment, kEntryDevelopmentCleared);
    }
    return true;
  }
  if (fullFlag == 1 && !e->levelImages[kLevelFull] && g_pipelineHooks.needsFullDevelopment(e, position)) {
    if (g_rawViewerState != 3 || !e->levelImages[kLevelThumbnail]) return false;
    g_pipelineHooks.waitViewerDevelopThread();
    ViewerDevelopEntry = e;
    g_pipelineHooks.startViewerDevelopThread();
  }
  return true;
}

PictureArea MarginArea(int width, int height, const CameraMargins& m) {
  PictureArea a{m.left, m.top, width - m.left - m.right, height - m.top - m.bottom};
  if (m.left < 0 || m.top < 0 || a.width <= 0 || a.height <= 0 || m.left >= width || m.top >= height)
    a = PictureArea{0, 0, width, height};
  return a;
}

HGLOBAL ReadEntryFileRange(const ImageEntry* entry, int32_t offset, int32_t size) {
  return entry ? ReadFileRange(entry, offset, size) : nullptr;
}

