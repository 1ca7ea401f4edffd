#include "browser/pure/readable_text.h"

uint32_t ColourBrightness(uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return (r * 299 + g * 587 + b * 114) / 1000;
}

namespace {
uint32_t Distance(uint32_t a, uint32_t b) {
  const uint32_t x = ColourBrightness(a), y = ColourBrightness(b);
  return x > y ? x - y : y - x;
}
}  // namespace

uint32_t ReadableTextColour(uint32_t fill, uint32_t text, uint32_t dark, uint32_t light) {
  if (Distance(fill, text) >= 85) return text;
  return Distance(fill, dark) >= Distance(fill, light) ? dark : light;
}
