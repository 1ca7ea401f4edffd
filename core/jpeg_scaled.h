// JPEG pictures decoded by libjpeg-turbo straight into GDI+ bitmaps (or the words the program's
// own scaler reads), reduced by the inverse transform (1/2, 1/4, 1/8) when only a smaller picture
// is shown: a camera picture shown in a pane then costs a fraction of its whole decode. GDI+
// keeps drawing them.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "core/picture_words.h"

struct ScaledJpeg {
  Gdiplus::Bitmap* bitmap = nullptr;  // 24-bit, the caller's
  int width = 0, height = 0;          // the whole picture's size
  int reduction = 1;                  // 1, 2, 4 or 8: the bitmap is about width / reduction wide
};

// How the needed size is meant: the picture stretched over it, or fitted inside it (a pane).
enum class JpegNeed { kCover, kFitInside };

// The JPEG in bytes decoded at the largest reduction that keeps the picture at least needWidth x
// needHeight, or at least its fitted size in that box (0 x 0: whole). False, with nothing made,
// for anything libjpeg-turbo refuses or cannot give as 24-bit colour (a damaged or CMYK file):
// the caller decodes it through the system.
bool DecodeJpegScaled(const uint8_t* bytes, size_t size, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out);

// Bytes that arrive in parts (a file read beside the decode).
class ArrivingBytes {
 public:
  // Waits until at least count bytes are there or no more will come; how many are there.
  virtual size_t WaitFor(size_t count) = 0;

 protected:
  ~ArrivingBytes() = default;
};

// The same while the size bytes at bytes arrive: the same pixels. Also false when they stop short.
bool DecodeArrivingJpegScaled(const uint8_t* bytes, size_t size, ArrivingBytes* arriving, int needWidth,
                              int needHeight, JpegNeed how, ScaledJpeg* out);

// The same over a block of GMEM_FIXED memory of the picture's bytes.
bool DecodeJpegBlockScaled(HGLOBAL block, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out);
// The same into opaque 32-bit words for the program's own scaler, without a bitmap; sizes as above
// (its bitmap stays null).
bool DecodeJpegBlockScaledWords(HGLOBAL block, int needWidth, int needHeight, JpegNeed how, SourceWords* pixels,
                                ScaledJpeg* sizes);
