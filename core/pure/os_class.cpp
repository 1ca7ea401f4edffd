#include "core/pure/os_class.h"

int32_t ClassifyOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build) {
  if (platformId == 1) {
    if (major != 4) return 0;
    if (minor != 0) return 3;
    return (build & 0xFFFF) > 1000 ? 1 : 2;
  }
  if (platformId != 2) return 0;
  switch (major) {
    case 3: return 4;
    case 4: return 5;
    case 5: return minor <= 2 ? int32_t(6 + minor) : 0;
    case 6: return minor == 0 ? 9 : 10;
    default: break;
  }
  // A newer system must get the newest behaviour, not the oldest.
  return major > 6 ? 10 : 0;
}
