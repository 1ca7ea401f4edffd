#include "actions/pure/export_geometry.h"

#include <cmath>
#include <cstdio>

ExportRect ExportSourceArea(int32_t width, int32_t height, int32_t orientation, int32_t top, int32_t bottom,
                            int32_t left, int32_t right) {
  const int64_t w = width, h = height;
  ExportRect r;
  if (orientation == 6 || orientation == 8) {
    r = {top, left, static_cast<int32_t>(w - top - bottom), static_cast<int32_t>(h - left - right)};
  } else {
    r = {left, top, static_cast<int32_t>(w - left - right), static_cast<int32_t>(h - top - bottom)};
  }
  return r;
}

void WallpaperBitmapSize(int32_t desktopWidth, int32_t desktopHeight, int32_t* width, int32_t* height) {
  *width = desktopWidth > 0 ? desktopWidth / 4 * 4 : 0;
  *height = desktopHeight > 0 ? desktopHeight : 0;
}

namespace {
int32_t FloorHalf(int32_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
int32_t Truncate(float v) {
  if (!(v > -2147483000.0f && v < 2147483000.0f)) return 0;
  return static_cast<int32_t>(v);
}
}  // namespace

bool WallpaperDestination(float sw, float sh, int32_t dw, int32_t dh, int32_t mode, ExportRect* out) {
  *out = {0, 0, dw, dh};
  if (mode == 2) return true;
  if (mode != 0 && mode != 1) return false;
  if (dw <= 0 || dh <= 0) return true;
  const float a = sw / static_cast<float>(dw), b = sh / static_cast<float>(dh);
  const bool tall = mode == 0 ? b > a : a > b;
  if (tall) {
    out->width = Truncate(static_cast<float>(dw) * a / b);
    out->height = dh;
  } else {
    out->width = dw;
    out->height = Truncate(static_cast<float>(dh) * b / a);
  }
  out->x = FloorHalf(dw - out->width);
  out->y = FloorHalf(dh - out->height);
  return true;
}

void MailCopySize(float sw, float sh, int32_t longSide, int32_t* width, int32_t* height) {
  if (longSide < 4) longSide = 4;
  const int32_t l4 = longSide / 4 * 4;
  const float a = sw / static_cast<float>(l4), b = sh / static_cast<float>(longSide);
  int32_t w, h;
  if (b > a) {
    w = Truncate(static_cast<float>(l4) * a / b);
    h = longSide;
  } else {
    w = l4;
    h = Truncate(static_cast<float>(longSide) * b / a);
  }
  *width = w / 4 * 4;
  *height = h;
}

std::u16string MailSizeQuestion(uint64_t total) {
  char number[64];
  if (total > 1048576ull) {
    std::snprintf(number, sizeof number, "%0.2f", static_cast<double>(static_cast<float>(total) / 1048576.0f));
  } else {
    std::snprintf(number, sizeof number, "%0.1f", static_cast<double>(static_cast<float>(total) / 1024.0f));
  }
  std::u16string text = u"添付画像の合計サイズは";
  for (const char* p = number; *p; ++p) text += static_cast<char16_t>(*p);
  text += total > 1048576ull ? u"MByteになります。\nこれらを添付したメールを作成しますか？"
                             : u"KByteになります。\nこれらを添付したメールを作成しますか？";
  return text;
}
