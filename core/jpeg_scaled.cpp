#include "core/jpeg_scaled.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

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

// libjpeg's source over bytes that arrive in parts: what is there is given and more is waited
// for. At the end of the whole it does what the memory source does (a warning and a made-up end
// marker); bytes that stop short end the decode as an error.
struct ArrivingSource {
  jpeg_source_mgr manager;
  const uint8_t* bytes;
  size_t size, given;
  ArrivingBytes* arriving;
};

void StartArriving(j_decompress_ptr) {}
void EndArriving(j_decompress_ptr) {}

boolean FillArriving(j_decompress_ptr info) {
  auto* s = reinterpret_cast<ArrivingSource*>(info->src);
  if (s->given < s->size) {
    size_t there = s->arriving->WaitFor(s->given + 1);
    if (there > s->size) there = s->size;
    if (there <= s->given) ERREXIT(info, JERR_INPUT_EOF);
    s->manager.next_input_byte = s->bytes + s->given;
    s->manager.bytes_in_buffer = there - s->given;
    s->given = there;
    return TRUE;
  }
  static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
  WARNMS(info, JWRN_JPEG_EOF);
  s->manager.next_input_byte = kEnd;
  s->manager.bytes_in_buffer = 2;
  return TRUE;
}

void SkipArriving(j_decompress_ptr info, long count) {
  jpeg_source_mgr* m = info->src;
  if (count <= 0) return;
  while (count > static_cast<long>(m->bytes_in_buffer)) {
    count -= static_cast<long>(m->bytes_in_buffer);
    FillArriving(info);
  }
  m->next_input_byte += count;
  m->bytes_in_buffer -= static_cast<size_t>(count);
}

// The decode's source: the bytes in memory, or the same as they arrive (given what is there).
void SetSource(j_decompress_ptr info, const uint8_t* bytes, size_t size, ArrivingBytes* arriving, size_t there,
               ArrivingSource* source) {
  if (!arriving) {
    jpeg_mem_src(info, bytes, static_cast<unsigned long>(size));
    return;
  }
  source->manager.init_source = StartArriving;
  source->manager.fill_input_buffer = FillArriving;
  source->manager.skip_input_data = SkipArriving;
  source->manager.resync_to_restart = jpeg_resync_to_restart;
  source->manager.term_source = EndArriving;
  source->manager.next_input_byte = bytes;
  source->manager.bytes_in_buffer = there;
  source->bytes = bytes;
  source->size = size;
  source->given = there;
  source->arriving = arriving;
  info->src = &source->manager;
}

// Where a decode writes its rows.
class RowTarget {
 public:
  virtual ~RowTarget() = default;
  // Room for h rows of w pixels: the first row and the step between rows; null without it.
  virtual uint8_t* Open(int w, int h, ptrdiff_t* stride) = 0;
  virtual void Close(bool decoded) = 0;
};

class BitmapTarget : public RowTarget {
 public:
  // The system's own bitmap, never one over kept memory: such a bitmap made every later paint of
  // the picture (its first touch, under Wine) several times slower than the pages it saved.
  uint8_t* Open(int w, int h, ptrdiff_t* stride) override {
    bitmap = new Gdiplus::Bitmap(w, h, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, w, h);
    if (bitmap->GetLastStatus() != Gdiplus::Ok ||
        bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data_) != Gdiplus::Ok) {
      delete bitmap;
      bitmap = nullptr;
      return nullptr;
    }
    *stride = data_.Stride;
    return static_cast<uint8_t*>(data_.Scan0);
  }
  void Close(bool decoded) override {
    if (!bitmap) return;
    bitmap->UnlockBits(&data_);
    if (decoded) return;
    delete bitmap;
    bitmap = nullptr;
  }
  Gdiplus::Bitmap* bitmap = nullptr;

 private:
  Gdiplus::BitmapData data_{};
};

class WordsTarget : public RowTarget {
 public:
  explicit WordsTarget(SourceWords* out) : out_(out) {}
  uint8_t* Open(int w, int h, ptrdiff_t* stride) override {
    try {
      out_->words.resize(static_cast<size_t>(w) * h);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    out_->width = w;
    out_->height = h;
    *stride = static_cast<ptrdiff_t>(w) * 4;
    return reinterpret_cast<uint8_t*>(out_->words.data());
  }
  void Close(bool) override {}

 private:
  SourceWords* out_;
};

// The decode into the target, in the given colour order of the given bytes a pixel; with
// arriving, from the bytes as they come.
bool DecodeInto(const uint8_t* bytes, size_t size, int needWidth, int needHeight, JpegNeed how, J_COLOR_SPACE order,
                int components, RowTarget& target, ScaledJpeg* out, ArrivingBytes* arriving = nullptr) {
  *out = ScaledJpeg{};
  if (!bytes || size < 4 || size > 0xFFFFFFFFu) return false;
  const size_t there = arriving ? std::min(arriving->WaitFor(4), size) : size;
  if (there < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
  ArrivingSource source;
  jpeg_decompress_struct info;
  JumpingErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.emit_message = Quiet;
  errors.manager.error_exit = JumpBack;
  volatile bool opened = false;
  if (__builtin_setjmp(errors.jump)) {
    if (opened) target.Close(false);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  SetSource(&info, bytes, size, arriving, there, &source);
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
  info.out_color_space = order;
  jpeg_calc_output_dimensions(&info);
  const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
  ptrdiff_t stride = 0;
  uint8_t* rows = w > 0 && h > 0 && info.output_components == components ? target.Open(w, h, &stride) : nullptr;
  if (!rows) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  opened = true;
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rows + static_cast<ptrdiff_t>(info.output_scanline) * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  target.Close(true);
  out->width = width;
  out->height = height;
  out->reduction = reduction;
  return true;
}

// The block's bytes for the decode.
template <typename Decode>
bool WithBlockBytes(HGLOBAL block, Decode decode) {
  if (!block) return false;
  const SIZE_T size = GlobalSize(block);
  const void* bytes = GlobalLock(block);
  const bool ok = bytes && decode(static_cast<const uint8_t*>(bytes), size);
  if (bytes) GlobalUnlock(block);
  return ok;
}

}  // namespace

bool DecodeJpegScaled(const uint8_t* bytes, size_t size, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out) {
  BitmapTarget target;
  // GDI+'s 24-bit order
  if (!DecodeInto(bytes, size, needWidth, needHeight, how, JCS_EXT_BGR, 3, target, out)) return false;
  out->bitmap = target.bitmap;
  return true;
}

bool DecodeArrivingJpegScaled(const uint8_t* bytes, size_t size, ArrivingBytes* arriving, int needWidth,
                              int needHeight, JpegNeed how, ScaledJpeg* out) {
  BitmapTarget target;
  if (!DecodeInto(bytes, size, needWidth, needHeight, how, JCS_EXT_BGR, 3, target, out, arriving)) return false;
  out->bitmap = target.bitmap;
  return true;
}

bool DecodeJpegBlockScaled(HGLOBAL block, int needWidth, int needHeight, JpegNeed how, ScaledJpeg* out) {
  *out = ScaledJpeg{};
  return WithBlockBytes(block, [&](const uint8_t* bytes, size_t size) {
    return DecodeJpegScaled(bytes, size, needWidth, needHeight, how, out);
  });
}

bool DecodeJpegBlockScaledWords(HGLOBAL block, int needWidth, int needHeight, JpegNeed how, SourceWords* pixels,
                                ScaledJpeg* sizes) {
  *sizes = ScaledJpeg{};
  WordsTarget target(pixels);
  // B, G, R, A bytes are the words 0xAARRGGBB; the decoder makes the alpha opaque.
  return WithBlockBytes(block, [&](const uint8_t* bytes, size_t size) {
    return DecodeInto(bytes, size, needWidth, needHeight, how, JCS_EXT_BGRA, 4, target, sizes);
  });
}
