// Pictures as rows of 32-bit A,R,G,B words, which the program's own scaler and histogram drawing
// work on, to and from GDI+ bitmaps: under Wine every bitmap and drawing costs a display device
// context, more than the work on the words.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

struct SourceWords {
  int width = 0, height = 0;
  std::vector<uint32_t> words;
};

// The bitmap's pixels, read once; false for what the scaler does not draw as GDI+ does (a picture
// that is not a bitmap, premultiplied pixels, which GDI+ lays over the box another way).
bool ReadSourceWords(Gdiplus::Image* source, SourceWords* out);
// The same of 24-bit B,G,R rows (as the cache keeps pictures): opaque.
void WordsFromBgr(const uint8_t* bgr, int width, int height, SourceWords* out);
// A new 32-bit ARGB bitmap of the words (width x height, row by row); null when it cannot be had.
Gdiplus::Bitmap* PictureOfWords(const uint32_t* words, int width, int height);
