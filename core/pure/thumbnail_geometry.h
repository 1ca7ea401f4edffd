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
