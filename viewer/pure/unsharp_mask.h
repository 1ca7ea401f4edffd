// Unsharp-mask sharpening over 24-bit pixels: a separable stepped-bell blur, then each
// channel pushed away from its blurred value by percent / 100.
#pragma once
#include <cstdint>

// Kernel weights for distances 0 .. 3 x radius (radius 1..30); returns the tap count, 0 when
// the radius is out of range.
int BuildUnsharpKernel(int radius, double* weights, int capacity);

// Sharpens width x height pixels of 3 bytes each, rows `stride` bytes apart, in place.
// False (pixels untouched) for a radius outside 1..30 or an empty picture.
bool SharpenPixels24(uint8_t* pixels, int width, int height, int stride, int radius, int percent);
