#include "core/jpeg_scaled.h"

#include <cstdio>

#include <jpeglib.h>

#include "core/pure/thumbnail_geometry.h"

namespace {

constexpr int kLargestSide = 32767;

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the decode, over libjpeg's own frames only (no destructor lies between).
struct JumpingErrors {
  jpeg_error_mgr manager;
  void* jump[5];
};

void JumpBack(j_common_ptr info) {
  __builtin_longjmp(reinterpret_cast<JumpingErrors*>(info->err)->jump, 1);
}

// Warnings (a picture cut short is finished in grey) are not printed: the picture is shown as the
// system's decoder showed it.
void Quiet(j_common_ptr, int) {}

}  // namespace

bool DecodeJpegScaled(const uint8_t* bytes, size_t size, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out) {
  *out = ScaledJpeg{};
  if (!bytes || size < 4 || size > 0xFFFFFFFFu || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
  jpeg_decompress_struct info;
  JumpingErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.emit_message = Quiet;
  Gdiplus::Bitmap* volatile bitmap = nullptr;
  Gdiplus::BitmapData data{};
  volatile bool locked = false;
  if (__builtin_setjmp(errors.jump)) {
    if (locked) bitmap->UnlockBits(&data);
    delete bitmap;
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  // Grey and YCbCr/RGB pictures only: CMYK and other models the system converts its own way.
  if ((info.num_components != 1 && info.num_components != 3) || info.image_width > kLargestSide ||
      info.image_height > kLargestSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const int width = static_cast<int>(info.image_width), height = static_cast<int>(info.image_height);
  const int reduction = how == JpegNeed::kFitInside ? JpegReductionToFit(width, height, needWidth, needHeight)
                                                    : JpegReduction(width, height, needWidth, needHeight);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(reduction);
  info.out_color_space = JCS_EXT_BGR;  // GDI+'s 24-bit order
  jpeg_calc_output_dimensions(&info);
  const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
  if (w <= 0 || h <= 0 || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  bitmap = new Gdiplus::Bitmap(w, h, PixelFormat24bppRGB);
  Gdiplus::Rect all(0, 0, w, h);
  if (bitmap->GetLastStatus() != Gdiplus::Ok ||
      bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
    delete bitmap;
    jpeg_destroy_decompress(&info);
    return false;
  }
  locked = true;
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = static_cast<JSAMPROW>(data.Scan0) + static_cast<ptrdiff_t>(info.output_scanline) * data.Stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  bitmap->UnlockBits(&data);
  out->bitmap = bitmap;
  out->width = width;
  out->height = height;
  out->reduction = reduction;
  return true;
}

bool DecodeJpegBlockScaled(HGLOBAL block, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out) {
  *out = ScaledJpeg{};
  if (!block) return false;
  const SIZE_T size = GlobalSize(block);
  const void* bytes = GlobalLock(block);
  const bool ok = bytes && DecodeJpegScaled(static_cast<const uint8_t*>(bytes), size, needWidth, needHeight, how, out);
  if (bytes) GlobalUnlock(block);
  return ok;
}
