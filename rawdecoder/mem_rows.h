/* The module's reach past LibRaw's C interface: the developed rows' format, and the rows
   written into a buffer of the caller's (8 bits, RGB order). */
#ifndef BRN_RAWDECODER_MEM_ROWS_H
#define BRN_RAWDECODER_MEM_ROWS_H

#include <libraw/libraw_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 0 when lr is not LibRaw's. */
int RawDecoderRowsFormat(libraw_data_t* lr, int* width, int* height, int* colors, int* bps);
/* LibRaw's result code. */
int RawDecoderCopyRowsInto(libraw_data_t* lr, void* dest, int stride);

#ifdef __cplusplus
}
#endif
#endif
