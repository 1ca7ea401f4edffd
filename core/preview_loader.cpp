#include "core/preview_loader.h"

#include <gdiplus.h>

#include <cstring>
#include <utility>

#include "core/pure/jpeg_picture.h"
#include "core/image_pipeline.h"
#include "core/jpeg_scaled.h"
#include "core/memory.h"
#include "core/pure/level_rotation.h"
#include "core/settings.h"
#include "core/app_globals.h"
#include "core/movie_probe.h"

using namespace Gdiplus;

namespace {

// A JPEG whose headers run past the end of its block has no picture of its own (a file cut
// after its Exif segment, as some tools store them): GDI+ fails on it, and under Wine reads past
// the block while it tries. Its Exif thumbnail stands in when it has one. Other blocks come back
// as they are; null when nothing decodable is left (the block is then freed).
HGLOBAL DecodableBlock(HGLOBAL source) {
  const SIZE_T size = GlobalSize(source);
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(source));
  if (!bytes) return source;
  if (size < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8 || JpegHeadersInside(bytes, size)) {
    GlobalUnlock(source);
    return source;
  }
  HGLOBAL thumb = nullptr;
  size_t at = 0, length = 0;
  if (FindExifThumbnail(bytes, size, &at, &length) && JpegHeadersInside(bytes + at, length) &&
      length <= 0xFFFFFFFFu) {
    thumb = AllocGlobal(GMEM_FIXED, static_cast<uint32_t>(length));
    if (thumb) std::memcpy(thumb, bytes + at, length);
  }
  GlobalUnlock(source);
  FreeGlobal(source);
  return thumb;
}

}  // namespace

namespace {
HGLOBAL ReadPreviewSource(ImageEntry* e) {
  const ImageInfo& info = e->info;
  if (info.previewSize != 0 || !IsRawModelEntry(e)) {
    if (info.fileTypeFlag != kFileTypeMovie) return ReadEntryFileRange(e, info.previewOffset, info.previewSize);
    if (info.width <= 0 || info.height <= 0) return nullptr;
    return GrabMovieFrame(e, g_settings.movieThumbSecond, info.width, info.height);
  }
  if (DevelopsRawWithoutPreview(e)) {
    HGLOBAL developed = nullptr;
    DevelopRawEighthSize(e, &developed);
    return developed;
  }
  return CopyUnknownPictureBlock();
}
}  // namespace

HGLOBAL LoadPreviewSourceBlock(ImageEntry* e) {
  HGLOBAL source = ReadPreviewSource(e);
  return source ? DecodableBlock(source) : nullptr;
}

namespace {

// The picture with the model's margins cut away; the picture itself when it has none or they
// leave nothing of it.
Image* CropToMargins(Image* picture, const CameraMargins& m) {
  if (m.top == 0 && m.bottom == 0 && m.left == 0 && m.right == 0) return picture;
  const int w = static_cast<int>(picture->GetWidth()), h = static_cast<int>(picture->GetHeight());
  PictureArea a = MarginArea(w, h, m);
  if (a.x == 0 && a.y == 0 && a.width == w && a.height == h) return picture;
  auto* cropped = new Bitmap(a.width, a.height, PixelFormat32bppARGB);
  if (cropped->GetLastStatus() != Ok) {
    delete cropped;
    return picture;
  }
  {
    Graphics g(cropped);
    g.SetSmoothingMode(SmoothingModeHighSpeed);
    g.SetInterpolationMode(InterpolationModeLowQuality);
    g.DrawImage(picture, Rect(0, 0, a.width, a.height), a.x, a.y, a.width, a.height, UnitPixel);
  }
  delete picture;
  return cropped;
}

}  // namespace

bool LoadPreviewBitmap(Graphics* graphics, ImageEntry* entry, Image** image, HGLOBAL* block) {
  return LoadPreviewBitmap(graphics, entry, image, block, 0, 0, JpegNeed::kFitInside);
}

bool LoadPreviewBitmap(Graphics*, ImageEntry* entry, Image** image, HGLOBAL* block, int needWidth, int needHeight,
                       JpegNeed how) {
  if (image) *image = nullptr;
  if (block) *block = nullptr;
  if (!entry || !image || !block) return false;
  HGLOBAL source = LoadPreviewSourceBlock(entry);
  if (!source) return false;
  brn::MemoryStreamHolder holder;
  // A failure hands nothing back: what was made here is freed here.
  if (FAILED(brn::OpenMemoryStream(&holder, source, false)) || !holder.stream) {
    FreeGlobal(source);
    return false;
  }
  const bool embeddedColour = (g_settings.colorMatchSetup.flags & 1) == 0;  // CMS_DISABLEICM
  // Margins are counted in the picture's own pixels: such a picture is decoded whole. The need
  // is upright, the picture is decoded before it is turned.
  const CameraMargins& margins = EntryCameraModel(entry).viewMargins;
  if (margins.top != 0 || margins.bottom != 0 || margins.left != 0 || margins.right != 0) needWidth = needHeight = 0;
  const int turns = TotalQuarterTurns(entry->userRotation, entry->exifRotation);
  if (turns % 2 != 0) std::swap(needWidth, needHeight);
  Image* picture = DecodePictureBlock(source, holder.stream, needWidth, needHeight, how, embeddedColour);
  if (!picture) {
    holder.stream->Release();
    FreeGlobal(source);
    return false;
  }
  picture = CropToMargins(picture, margins);
  TurnPicture(picture, turns);
  holder.stream->Release();
  *image = picture;
  *block = source;
  return true;
}
