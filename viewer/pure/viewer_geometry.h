// Geometry and texts of the viewer panes: the fitted rectangle, the zoom step and its source
// window, the loupe, the overlay texts and the prefetch window radius. No windows here.
#pragma once
#include <cstddef>
#include <cstdint>

struct PaneRect {
  int32_t x, y, w, h;
};

// Where a pictureW x pictureH picture lies fitted and centred in a paneW x paneH pane (small
// pictures are enlarged). Single precision throughout, so every caller gets the same pixels.
// A zero or negative size on either side gives an empty rectangle (no division is reached).
PaneRect FitPictureRect(float pictureW, float pictureH, int32_t paneW, int32_t paneH);

constexpr int32_t kZoomStepMin = 1, kZoomStepMax = 80;
// Clamps *offset to 1 - base .. 80 - base (stored back) and returns base + offset within 1..80.
int32_t ClampZoomStep(int32_t baseStep, int32_t* offset);
// step x 0.1, doubled when asked.
float ZoomFactorOfStep(int32_t step, bool doubled);

// One axis of a zoomed draw. picture and pane in pixels; window is the source extent shown.
struct ZoomAxis {
  int32_t window;  // trunc(pane / (reduction x factor))
  int32_t start;   // source start; negative leaves margins
  int32_t outPos, outSize;  // where the picture lies in the pane along this axis
};
// centre: the zoom point in picture pixels (moved by panDelta / reduction and clamped, stored
// back) when the picture is larger than the window and the pane.
ZoomAxis ComputeZoomAxis(int32_t picture, int32_t pane, int32_t reduction, float factor, float* centre,
                         float panDelta);

// The loupe: source point under the loupe centre of a fitted picture.
void LoupeSourcePoint(const PaneRect& fitted, float pictureW, float pictureH, int32_t cx, int32_t cy, int32_t* sx,
                      int32_t* sy);

// Texts, as UTF-16 into out (capacity in characters, always terminated).
void FormatZoomStatusText(float factor, char16_t* out, size_t capacity);     // "\tZOOM ×1.00"
void FormatBrightnessText(int32_t preview, char16_t* out, size_t capacity);  // "Ev:+1.0" / "Ev:-0.5"
// The information line from the column texts (null or empty: label left out).
struct InfoLineFields {
  const char16_t *name, *pixelSize, *date, *model, *exposure, *fNumber, *program, *iso, *bias, *focal, *flash,
      *lens;
};
void FormatInfoLineText(const InfoLineFields& f, char16_t* out, size_t capacity);

// The 64-pixel grid: positions of the lines along an axis of the given size; returns the count
// written (at most capacity).
int32_t GridLinePositions(int32_t size, int32_t* out, int32_t capacity);

// The prefetch radius after one memory check.
int32_t NextPrefetchRadius(int32_t n, uint64_t availablePhysical, uint64_t pressureLimit, int32_t panes,
                           int32_t prefetchLevel);

// The pane render pass: which result asks for another repetition.
inline bool PaneResultWantsRepeat(int32_t result) { return result == -1 || result == 0; }
