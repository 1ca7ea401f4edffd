#include "core/picture_words.h"

namespace {

// The bitmap locked over the caller's words in its 32-bit ARGB form.
bool LockOverWords(Gdiplus::Bitmap* bitmap, uint32_t* words, int width, int height, UINT mode) {
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  data.Width = static_cast<UINT>(width);
  data.Height = static_cast<UINT>(height);
  data.Stride = width * 4;
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = words;
  if (bitmap->LockBits(&all, mode | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return false;
  bitmap->UnlockBits(&data);
  return true;
}

}  // namespace

bool ReadSourceWords(Gdiplus::Image* source, SourceWords* out) {
  if (!source || source->GetType() != Gdiplus::ImageTypeBitmap || (source->GetPixelFormat() & PixelFormatPAlpha))
    return false;
  auto* bitmap = static_cast<Gdiplus::Bitmap*>(source);
  const int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
  if (width <= 0 || height <= 0) return false;
  out->words.resize(static_cast<size_t>(width) * height);
  if (!LockOverWords(bitmap, out->words.data(), width, height, Gdiplus::ImageLockModeRead)) return false;
  out->width = width;
  out->height = height;
  return true;
}

void WordsFromBgr(const uint8_t* bgr, int width, int height, SourceWords* out) {
  out->width = width;
  out->height = height;
  out->words.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < out->words.size(); ++i, bgr += 3)
    out->words[i] = 0xFF000000u | static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
}

Gdiplus::Bitmap* PictureOfWords(const uint32_t* words, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  auto* picture = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
  if (picture->GetLastStatus() != Gdiplus::Ok ||
      !LockOverWords(picture, const_cast<uint32_t*>(words), width, height, Gdiplus::ImageLockModeWrite)) {
    delete picture;
    return nullptr;
  }
  return picture;
}
