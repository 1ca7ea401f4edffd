// Where a picture goes inside a thumbnail box, and the small colour histogram of a thumbnail.
#pragma once
#include <cstdint>

struct ThumbRect {
  int x, y, width, height;
};

// fit: stretch over the whole box. Otherwise the picture's proportions are kept, centred.
// A picture size of 0 or less cannot be proportioned and is stretched too.
ThumbRect ComputeThumbnailRect(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight, bool fit);

// 96 bins (32 red, 32 green, 32 blue) from 24-bit B,G,R pixels: value / 8, then every bin halved.
void ComputeSmallHistogram(const uint8_t* pixels, int width, int height, int stride, uint8_t bins[96]);

// The reduction (8, 4, 2 or 1) a JPEG decoder's inverse transform may take a width x height
// picture down by while it stays at least needWidth x needHeight (the decoder rounds up); 1 for a
// need of 0 or less on either side, or a picture no larger than the need.
int JpegReduction(int width, int height, int needWidth, int needHeight);
// The same for a picture shown fitted (proportions kept) inside a boxWidth x boxHeight pane.
int JpegReductionToFit(int width, int height, int boxWidth, int boxHeight);

// Top row of a histogram column of the 16-pixel-high picture.
inline int HistogramBarTop(int bin) { return bin >= 16 ? 0 : 16 - bin; }

constexpr int kHistogramPictureWidth = 32, kHistogramPictureHeight = 16;
// The 32 x 16 histogram picture of the 96 bins as words 0xAARRGGBB, row by row: the background,
// then each bin's column from its top to the bottom in opaque red, half-transparent green and
// quarter-transparent blue, each laid over what is there as the system's drawing lays a colour
// over a picture with an alpha channel.
void DrawHistogramWords(const uint8_t bins[96], uint32_t background, uint32_t* out);

// The source (sourceWidth x sourceHeight words 0xAARRGGBB, row by row) scaled into rectangle r of
// a boxWidth x boxHeight box (words likewise), bilinear, the box transparent black elsewhere: the
// pixels the system's picture drawing (GDI+ at low quality, as this platform's runs it) leaves in
// a cleared 32-bit bitmap, without its fixed cost of a few hundred microseconds a box.
void ScaleIntoBox(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* box, int boxWidth,
                  int boxHeight, ThumbRect r);

// The width x height words turned clockwise by quarter turns (0 to 3) into out, which is height x
// width for an odd number of turns: the pixels the system's RotateFlip leaves in a turned picture.
void TurnWords(const uint32_t* source, int width, int height, int turns, uint32_t* out);

// The box's words as 24-bit B,G,R rows of width * 3 bytes: premultiplied by their alpha (what a
// premultiplied read of the bitmap gives) or with the alpha dropped (a 24-bit read).
void BoxToBgr(const uint32_t* box, int count, bool premultiply, uint8_t* out);
