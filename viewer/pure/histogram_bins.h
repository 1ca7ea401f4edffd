// Histogram counting and the four-slot cache's exchange rule, without windows.
#pragma once
#include <cstdint>

constexpr int32_t kHistogramSlots = 4;

struct HistogramBins {
  int32_t bins[3][256];  // red, green, blue
};

// Counts width x height pixels of 24-bit rows (bytes blue, green, red) that start stride bytes
// apart, then scales every bin to count x 4096 / pixel count (single-precision factor).
void CountHistogramBins(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height, HistogramBins* out);

// The slot a wants `entry`: when it holds another entry, the slot holding `entry` (or else slot
// 3) is exchanged with it. Returns true when slot a then holds `entry`. Slots are exchanged
// whole through the swap callback.
template <typename Slot, typename Entry>
bool BringHistogramSlot(Slot* slots, int32_t a, const Entry* entry, const Entry* (*entryOf)(const Slot&)) {
  if (a < 0 || a >= kHistogramSlots) return false;
  if (entryOf(slots[a]) != entry) {
    int32_t h = kHistogramSlots - 1;
    for (int32_t k = 0; k < kHistogramSlots; ++k)
      if (k != a && entryOf(slots[k]) == entry) {
        h = k;
        break;
      }
    if (h != a) {
      Slot t = slots[a];
      slots[a] = slots[h];
      slots[h] = t;
    }
  }
  return entryOf(slots[a]) == entry;
}

// Bar height of one value in each picture mode: modes 1 and 3 clamp each channel to 64 and keep
// it; mode 2 draws the largest channel clamped to 64 without keeping it.
int32_t ClampHistogramBar(int32_t value);
