#pragma once
#include <windows.h>
#include <gdiplus.h>

// Unsharp mask in place on a GDI+ bitmap (radius 1..30); the result is opaque.
bool SharpenBitmap(Gdiplus::Bitmap* bitmap, int radius, int percent);
