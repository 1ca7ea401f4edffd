#include "core/argb_colour.h"

uint32_t ColorRefToArgb(COLORREF c) {
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}
