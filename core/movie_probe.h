// DirectShow services that let the rest of the program treat a movie like a picture: its frame
// size and length, one frame as an in-memory BMP file, one frame saved as a numbered bitmap.
// Each call makes and releases its own objects and takes no semaphore. The DirectShow work runs
// on a thread of its own and is waited for a bounded time: a damaged movie that never finishes
// rendering counts as one that cannot be rendered.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

struct ImageEntry;

// Frame size into the entry's information and the whole seconds into its duration; true when
// both sides are positive. A movie that cannot be rendered leaves them as they were.
bool ReadMovieSizeAndDuration(ImageEntry* entry);
// The frame at `second` (bounded by the duration) at width x height as a BMP file image in a
// global block the caller frees; null when no frame can be had.
HGLOBAL GrabMovieFrame(ImageEntry* entry, int second, int width, int height);
// The frame at `seconds` saved as "<capture folder><name>-<n>.bmp" with the first free n; true
// only when the file was written.
bool SaveMovieFrameAsBitmap(ImageEntry* entry, double seconds);

// The frame of a movie file as a packed 24-bit DIB (header and pixels) at width x height, taken
// through a filter graph with a sample grabber; false when the graph cannot give one.
bool GrabFrameThroughSampleGrabber(const wchar_t* path, double seconds, int width, int height,
                                   std::vector<uint8_t>* dib);
