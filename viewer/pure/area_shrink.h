// Shrinks a picture by averaging the source pixels that each target pixel covers. Used for the
// fitted copy of a large picture: one pass over the source, and a smoother result for large
// reductions than interpolation, which samples only a few source pixels per target pixel.
#pragma once
#include <cstdint>

// src: sw x sh pixels of srcBytesPerPixel (3: B,G,R; 4: B,G,R,x) bytes, rows srcStride bytes
// apart (stride may be negative for bottom-up rows). dst: dw x dh pixels of 4 bytes (B,G,R,255),
// rows dstStride bytes apart. Needs 1 <= dw <= sw and 1 <= dh <= sh; false otherwise.
bool AreaShrink(const uint8_t* src, int32_t sw, int32_t sh, int32_t srcStride, int32_t srcBytesPerPixel,
                uint8_t* dst, int32_t dw, int32_t dh, int32_t dstStride);
