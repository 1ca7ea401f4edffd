// The rows' small pictures (level 0's 88 x 60 and the 32 x 16 histogram picture) over the memory
// of one store that outlives the folder. Each GDI+ bitmap of its own took memory that the system
// gave back when the folder was left, so every row of the next folder paid for fresh pages (about
// 10 us each under Wine, five of them a row) before a pixel was written. Slots of the store are
// used again; chunks left empty are kept up to kRowStoreKeptBytes, and given back when memory is
// short.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

constexpr size_t kRowStoreKeptBytes = sizeof(void*) == 4 ? (16u << 20) : (32u << 20);

// A 32-bit ARGB bitmap of the width x height words (0xAARRGGBB, row by row), over a slot of the
// store when the picture is one of the rows' sizes, else of its own; null when none can be had.
Gdiplus::Bitmap* RowPictureOfWords(const uint32_t* words, int width, int height);
// The same of 24-bit B,G,R rows of width * 3 bytes: opaque, as a 24-bit write into such a bitmap
// leaves it.
Gdiplus::Bitmap* RowPictureOfBgr(const uint8_t* bgr, int width, int height);
// Bytes of the store's chunks, in use or kept (for the benches and tests).
uint64_t RowPictureStoreBytes();
// The empty chunks given back now; true when there were any.
bool ReleaseEmptyRowPictureChunks();
