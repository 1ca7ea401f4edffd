#pragma once
// Pictures decoded by the program's own JPEG decoder with the ICC profile they embed applied,
// as the system's colour-managed decode would: their colours converted to the screen's sRGB.
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

// The one place that decides the colour-managed road: when embedded colour management is asked
// for and the JPEG in bytes carries a profile, the decoded 24-bit bitmap's pixels are converted
// from it to sRGB by the system's colour management (ICM). True when they were; false, the
// bitmap untouched, without a profile, with the setting off or when the system cannot use the
// profile (a damaged one: the colours stay as decoded).
bool ApplyEmbeddedJpegColour(bool embeddedColour, const uint8_t* bytes, size_t size, Gdiplus::Bitmap* bitmap);
// The same over a GMEM_FIXED block of the JPEG's bytes.
bool ApplyEmbeddedJpegColourBlock(bool embeddedColour, HGLOBAL block, Gdiplus::Bitmap* bitmap);
// The same for many small pictures on one thread (thumbnails), the setting already asked: the
// transform made for a profile is kept for the next picture with that profile, until the thread
// calls ReleaseKeptColourTransform (before it ends).
bool ApplyEmbeddedJpegColourKept(HGLOBAL block, Gdiplus::Bitmap* bitmap);
void ReleaseKeptColourTransform();

// The path of the system's sRGB profile (under the colour folder); false when it has none.
bool SrgbProfilePath(wchar_t (&path)[MAX_PATH]);
