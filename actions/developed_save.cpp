#include "actions/developed_save.h"

#include <windows.h>
#include <gdiplus.h>

#include <cwchar>
#include <string>

#include "actions/picture_export.h"
#include "core/app_globals.h"
#include "core/pure/image_entry.h"
#include "metadata/pure/image_info.h"
#include "core/settings.h"

using namespace Gdiplus;

namespace {

std::string ToAnsi(const char16_t* text) {
  wchar_t wide[256] = {};
  wcsncpy(wide, reinterpret_cast<const wchar_t*>(text), 255);
  char out[256] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out - 1, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

}  // namespace

std::vector<ExifItem> DevelopedExifItems(const ImageEntry* entry, int32_t width, int32_t height) {
  const ImageInfo& info = entry->info;
  ExifSourceTexts t;
  t.fileDate = GetInfoFieldText(info, 5, false);
  t.maker = GetInfoFieldText(info, 7, false);
  t.model = GetInfoFieldText(info, 8, false);
  t.orientation = GetInfoFieldText(info, 9, false);
  t.shotDate = GetInfoFieldText(info, 10, false);
  t.exposureTime = GetInfoFieldText(info, 11, false);
  t.fNumber = GetInfoFieldText(info, 12, false);
  t.program = GetInfoFieldText(info, 13, false);
  t.iso = GetInfoFieldText(info, 14, false);
  t.bias = GetInfoFieldText(info, 15, false);
  t.metering = GetInfoFieldText(info, 16, false);
  t.focalLength = GetInfoFieldText(info, 18, g_settings.focalLength35mm != 0);  // as the column shows it
  t.flash = GetInfoFieldText(info, 21, false);
  std::u16string software = u"Tavelund ";
  software += reinterpret_cast<const char16_t*>(g_productName ? g_productName : L"");
  software += u" Ver";
  software += reinterpret_cast<const char16_t*>(g_programVersion ? g_programVersion : L"");
  t.software = software.c_str();
  t.width = width;
  t.height = height;
  // The full development turns the picture by its Exif orientation when that is switched on.
  t.orientationApplied = g_settings.autoRotateByExif == 1;
  for (const char16_t** p : {&t.fileDate, &t.maker, &t.model, &t.orientation, &t.shotDate, &t.exposureTime, &t.fNumber,
                             &t.program, &t.iso, &t.bias, &t.metering, &t.focalLength, &t.flash})
    if (!*p) *p = u"";
  return BuildExifItems(t, ToAnsi);
}

bool SaveDevelopedImage(ImageEntry* entry, int32_t format, const wchar_t* path) {
  if (!entry || !path || !entry->levelImages[kLevelFull]) return false;
  Image* developed = entry->levelImages[kLevelFull];
  const int32_t width = static_cast<int32_t>(developed->GetWidth());
  const int32_t height = static_cast<int32_t>(developed->GetHeight());
  if (width <= 0 || height <= 0) return false;
  Bitmap bitmap(width, height, PixelFormat32bppARGB);
  if (bitmap.GetLastStatus() != Ok) return false;
  if (g_settings.exifOnRawDevelop == 1) {
    for (ExifItem& item : DevelopedExifItems(entry, width, height)) {
      PropertyItem p;
      p.id = item.tag;
      p.length = static_cast<ULONG>(item.value.size());
      p.type = item.type;
      p.value = item.value.data();
      bitmap.SetPropertyItem(&p);  // an item the encoder refuses is left out
    }
  }
  {
    Graphics g(&bitmap);
    g.SetSmoothingMode(SmoothingModeHighQuality);
    g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
    g.DrawImage(developed, Rect(0, 0, width, height), 0, 0, width, height, UnitPixel);
  }
  // The camera's own JPEG of a RAW+JPEG pair may have this name: a file there is never replaced.
  return SaveImageAsNewFile(&bitmap, path, format == kDevelopedJpeg ? L"image/jpeg" : L"image/tiff", 100);
}
