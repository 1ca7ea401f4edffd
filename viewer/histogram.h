// The RGB histograms of the viewer overlay: a four-slot cache with a drawn picture per slot,
// computed only while the user-interface thread grants a budget.
#pragma once
#include <windows.h>
#include <cstdint>

#include "viewer/pure/histogram_bins.h"

struct ImageEntry;
namespace Gdiplus {
class Bitmap;
}

struct HistogramSlot {
  HistogramBins counts;
  ImageEntry* entry;
  Gdiplus::Bitmap* picture;
};

extern HistogramSlot g_histogramCache[kHistogramSlots];
// Computations still allowed; the idle tick grants the pane count once the row settles.
extern volatile int32_t g_histogramBudget;

// Slot `slot` (a pane index) holds the entry's histogram drawn for `mode`; false when nothing
// can be shown now. Render thread, "sema" held.
bool DrawOverlayHistogram(ImageEntry* entry, int32_t slot, int32_t mode);
void ClearHistogramCache();
void ResetHistogramCache();
// Draws the slot's counts as the picture of one mode (1 RGB, 2 brightness, 3 separate RGB);
// null when the bitmap cannot be made.
Gdiplus::Bitmap* DrawHistogramPicture(HistogramBins* counts, int32_t mode, uint32_t background);
