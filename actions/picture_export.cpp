#include "actions/picture_export.h"

#include <gdiplus.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <cwchar>

#include "actions/image_encoders.h"
#include "actions/pure/export_geometry.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/jpeg_scaled.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/raw_develop.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/write_failure.h"
#include "core/movie_probe.h"
#include "viewer/sharpen.h"

using namespace Gdiplus;

namespace {

constexpr uint32_t kMovieTypeBit = 0x1000000u;

// The picture's bytes, from the cheapest source; *fromPreview tells whether the camera's
// margins apply (they describe its embedded previews only).
HGLOBAL ObtainPicture(ImageEntry* e, bool* fromPreview) {
  *fromPreview = false;
  if (e->info.previewSize != 0 || !IsRawModelEntry(e)) {
    if (e->info.fileTypeFlag & kMovieTypeBit) return GrabMovieFrame(e, e->movieThumbSecond, e->info.width, e->info.height);
    *fromPreview = e->info.previewSize != 0;
    return ReadEntryFileRange(e, e->info.previewSize != 0 ? e->info.previewOffset : 0, e->info.previewSize);
  }
  if (DevelopsRawWithoutPreview(e)) {
    HGLOBAL block = nullptr;
    DevelopRawEighthSize(e, &block);
    return block;
  }
  return CopyUnknownPictureBlock();
}

// The decoded picture, turned upright, with its source area; null when it cannot be had. The area
// is counted in the whole picture's pixels, which the sizes of the copies follow; drawn is the same
// area in the decoded picture's pixels (a reduced JPEG's whole picture).
struct Source {
  HGLOBAL block = nullptr;
  IStream* stream = nullptr;
  Image* image = nullptr;
  ExportRect area{};
  ExportRect drawn{};
  ~Source() {
    delete image;
    if (stream) stream->Release();
    if (block) GlobalFree(block);
  }
};

// needWidth x needHeight: the size the upright picture is drawn at (fitted into it or covering
// it); a JPEG is decoded no larger, and whole when the copy is as large as the picture or larger.
bool LoadSource(ImageEntry* e, Source* s, int32_t needWidth, int32_t needHeight, JpegNeed how) {
  bool fromPreview = false;
  s->block = ObtainPicture(e, &fromPreview);
  if (!s->block) return false;
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, s->block, false)) || !holder.stream) return false;
  s->stream = holder.stream;
  CameraMargins m{0, 0, 0, 0};
  if (fromPreview) m = EntryCameraModel(e).viewMargins;
  const int orientation = e->info.orientation;
  // Margins are counted in the picture's own pixels: such a picture is decoded whole.
  if (m.top != 0 || m.bottom != 0 || m.left != 0 || m.right != 0) needWidth = needHeight = 0;
  if (orientation == 6 || orientation == 8) std::swap(needWidth, needHeight);
  int reduction = 1, width = 0, height = 0;
  s->image = DecodePictureBlock(s->block, s->stream, needWidth, needHeight, how, true, &reduction, &width, &height);
  if (!s->image) return false;
  if (orientation == 3) s->image->RotateFlip(Rotate180FlipNone);
  if (orientation == 6) s->image->RotateFlip(Rotate90FlipNone);
  if (orientation == 8) s->image->RotateFlip(Rotate270FlipNone);
  if (orientation == 6 || orientation == 8) std::swap(width, height);
  if (reduction == 1) width = static_cast<int32_t>(s->image->GetWidth()), height = static_cast<int32_t>(s->image->GetHeight());
  s->area = ExportSourceArea(width, height, orientation, m.top, m.bottom, m.left, m.right);
  // Margins that leave nothing (or lie outside a smaller picture) are not applied.
  if (s->area.width <= 0 || s->area.height <= 0 || s->area.x < 0 || s->area.y < 0) s->area = {0, 0, width, height};
  // Reduced only without margins: the area is the whole picture.
  s->drawn = reduction == 1 ? s->area
                            : ExportRect{0, 0, static_cast<int32_t>(s->image->GetWidth()),
                                         static_cast<int32_t>(s->image->GetHeight())};
  return s->area.width > 0 && s->area.height > 0;
}

bool RenderAndSave(Source& s, int32_t width, int32_t height, const ExportRect* destination, int32_t sharpness,
                   const wchar_t* mime, int32_t quality, const wchar_t* path) {
  if (width <= 0 || height <= 0) return false;
  Bitmap bitmap(width, height, PixelFormat32bppARGB);
  if (bitmap.GetLastStatus() != Ok) return false;
  {
    Graphics g(&bitmap);
    g.Clear(Color(255, 0, 0, 0));
    if (destination) {
      g.SetSmoothingMode(SmoothingModeHighQuality);
      g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
      g.DrawImage(s.image, Rect(destination->x, destination->y, destination->width, destination->height), s.drawn.x,
                  s.drawn.y, s.drawn.width, s.drawn.height, UnitPixel);
    }
  }
  SharpenBitmap(&bitmap, 1, (sharpness - 10) * 10);
  return SaveImageReplacing(&bitmap, path, mime, quality);
}

}  // namespace

namespace {
// Encodes in memory, then hands the bytes to the writer.
bool EncodeAndWrite(Image* image, const wchar_t* path, const wchar_t* mime, int32_t quality,
                    bool (*write)(const wchar_t*, const void*, uint32_t)) {
  CLSID clsid;
  if (!image || !path || GetEncoderClsid(mime, &clsid) < 0) return false;
  EncoderParameters params;
  params.Count = 1;
  ULONG value = static_cast<ULONG>(quality);
  params.Parameter[0].Guid = EncoderQuality;
  params.Parameter[0].Type = EncoderParameterValueTypeLong;
  params.Parameter[0].NumberOfValues = 1;
  params.Parameter[0].Value = &value;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || !stream) return false;
  bool ok = image->Save(stream, &clsid, &params) == Ok;
  HGLOBAL memory = nullptr;
  STATSTG stat{};
  if (ok) ok = SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
               stat.cbSize.QuadPart > 0 && stat.cbSize.QuadPart < 0xFFFFFFFFull;
  if (ok) {
    const void* bytes = GlobalLock(memory);
    ok = bytes && write(path, bytes, static_cast<uint32_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
  }
  stream->Release();
  return ok;
}
}  // namespace

bool SaveImageReplacing(Image* image, const wchar_t* path, const wchar_t* mime, int32_t quality) {
  return EncodeAndWrite(image, path, mime, quality, WriteFileReplacing);
}

bool SaveImageAsNewFile(Image* image, const wchar_t* path, const wchar_t* mime, int32_t quality) {
  return EncodeAndWrite(image, path, mime, quality, WriteNewFile);
}

bool RenderWallpaperBitmap(ImageEntry* entry, const wchar_t* path) {
  if (!entry || !path) return false;
  RECT desk{};
  GetClientRect(GetDesktopWindow(), &desk);
  int32_t dw, dh;
  WallpaperBitmapSize(desk.right - desk.left, desk.bottom - desk.top, &dw, &dh);
  // Mode 0 fits the picture into the desktop, the others cover it.
  Source s;
  if (!LoadSource(entry, &s, dw, dh, g_settings.wallpaperFitMode == 0 ? JpegNeed::kFitInside : JpegNeed::kCover))
    return false;
  ExportRect dest;
  const bool draw = WallpaperDestination(static_cast<float>(s.area.width), static_cast<float>(s.area.height), dw, dh,
                                         g_settings.wallpaperFitMode, &dest);
  return RenderAndSave(s, dw, dh, draw ? &dest : nullptr, g_settings.wallpaperSharpness, L"image/bmp", 100, path);
}

bool SaveResizedJpeg(ImageEntry* entry, const wchar_t* path, int32_t longSide, int32_t sharpness, int32_t quality) {
  if (!entry || !path) return false;
  // The copy fits into a box of the long side (its width a multiple of 4).
  const int32_t box = longSide < 4 ? 4 : longSide;
  Source s;
  if (!LoadSource(entry, &s, box / 4 * 4, box, JpegNeed::kFitInside)) return false;
  int32_t w, h;
  MailCopySize(static_cast<float>(s.area.width), static_cast<float>(s.area.height), longSide, &w, &h);
  const ExportRect dest{0, 0, w, h};
  return RenderAndSave(s, w, h, &dest, sharpness, L"image/jpeg", quality, path);
}

bool GetWallpaperBitmapPath(wchar_t* out) {
  wchar_t folder[MAX_PATH] = {};
  if (g_settings.wallpaperFolder == 1) {
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE)) return false;
  } else {
    wcsncpy(folder, g_programFolder, MAX_PATH - 1);
  }
  const size_t n = wcslen(folder);
  if (n && folder[n - 1] == L'\\') folder[n - 1] = 0;
  const int written = _snwprintf(out, kPathChars, L"%s\\BG__%s__%s", folder, g_productName, L".bmp");
  if (written < 0 || written >= kPathChars) {
    out[0] = 0;
    return false;
  }
  return true;
}

void SetWallpaperFromSelection(HWND pane) {
  // The target is taken before the question, whose box takes the focus from the list.
  const int32_t row = FirstFileActionRow();
  const int answer = ShowConfirmSettingsBox(pane, L"現在選択の画像を壁紙に設定しますか？", g_productName,
                                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3 | MB_TOPMOST);
  if (answer == IDYES) {
    // The settings button: the wallpaper page, and the command again once it closes.
    SendMessageW(g_hwndMain, WM_COMMAND, 32788, 0);
    PendingCommand = 32777;
    PendingCommandWindow = g_hwndMain;
  } else if (answer == IDNO) {
    wchar_t path[kPathChars];
    if (row >= 0 && row < g_listCount && GetWallpaperBitmapPath(path)) {
      ImageEntry* e = EntryAtRow(row);
      SetLastWriteError(0);
      if (RenderWallpaperBitmap(e, path)) {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
      } else if (const DWORD error = LastWriteError()) {
        ReportWriteFailure(L"次の壁紙用の画像を保存できませんでした。", path, error);
      } else {
        // Nothing was written: the picture itself could not be read (gone, or damaged).
        ReportWriteFailure(L"次の画像を壁紙に設定できませんでした。", EntryPath(e),
                           FileExists(EntryPath(e)) ? 0 : ERROR_FILE_NOT_FOUND);
      }
    }
  }
  PauseBusy();
}
