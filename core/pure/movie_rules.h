// Numbers of the movie player and the frame capture: the position scale of the trackbar, the
// time texts, the DirectShow volume, the grab time, the captured frame size, the BMP header.
#pragma once
#include <cstddef>
#include <cstdint>

// Trackbar steps per second: the whole part of 1 / (duration / 30000) in single precision,
// 1 when that is 0 or the duration is not positive (nothing divides by zero).
int32_t MoviePositionScale(int32_t durationSeconds);

// "h:mm:ss" of whole seconds (negative counts as 0); out holds at least 16 units.
void FormatMovieTime(int32_t seconds, char16_t* out, size_t capacity);

// Hundredths of a decibel for IBasicAudio: -127 mutes (-10000), else volume x 30.
int32_t MovieVolumeToDirectShow(int32_t volume);

// The second a frame is taken at: 0 for a negative request, else the request bounded by the
// duration - 1, and never below 0.
double MovieFrameTime(double seconds, int32_t durationSeconds);

// A skip of a thirtieth of the movie forward (+1) or back (-1), kept within 0..duration.
double MovieSkipPosition(double position, int32_t durationSeconds, int direction);

// The size a captured frame is saved at: fitted into a longSide square box when resize is set,
// else the movie's own. False when a side of the movie or the box is not positive.
bool MovieCaptureSize(int32_t width, int32_t height, bool resize, int32_t longSide, int32_t* outWidth,
                      int32_t* outHeight);

// The 14-byte file header in front of a packed DIB (BITMAPINFOHEADER or larger, its colour
// table, the pixels): size = 14 + dib bytes, pixel offset = 14 + header + colour table.
// False when the DIB header is short, its size field or colour count does not fit the block.
bool BuildBmpFileHeader(const uint8_t* dib, size_t dibBytes, uint8_t out[14]);
