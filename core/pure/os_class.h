#pragma once
#include <cstdint>

// Windows version class from a version record: 0 unclassified, 1-3 the 9x family, 4-10 NT 3 to NT 6.1+.
int32_t ClassifyOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build);
