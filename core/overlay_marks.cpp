#include "core/overlay_marks.h"

HBITMAP g_overlayMarks[3] = {};

HBITMAP GetOverlayMarkBitmap(int k) { return (k >= 0 && k < 3) ? g_overlayMarks[k] : nullptr; }
