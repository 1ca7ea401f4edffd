// LibRaw 0.20's C interface can only hand its developed rows out in a buffer of its own; this
// writes them straight into the caller's, which saves a copy of the whole picture.
#include "rawdecoder/mem_rows.h"

#include <libraw/libraw.h>

extern "C" int RawDecoderRowsFormat(libraw_data_t* lr, int* width, int* height, int* colors, int* bps) {
  auto* raw = static_cast<LibRaw*>(lr->parent_class);
  if (!raw) return 0;
  raw->get_mem_image_format(width, height, colors, bps);
  return 1;
}

extern "C" int RawDecoderCopyRowsInto(libraw_data_t* lr, void* dest, int stride) {
  auto* raw = static_cast<LibRaw*>(lr->parent_class);
  if (!raw) return LIBRAW_UNSPECIFIED_ERROR;
  try {
    return raw->copy_mem_image(dest, stride, 0);
  } catch (...) {
    return LIBRAW_UNSPECIFIED_ERROR;
  }
}
