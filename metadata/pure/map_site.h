// The two geodetic datums of Japan's maps and the addresses of the three map sites.
#pragma once
#include <cstddef>
#include <cstdint>

#include "metadata/pure/gps_position.h"

// Fixed linear approximations for the area of Japan, applied without a range check.
void WgsToTokyoDatum(double latitude, double longitude, double* tokyoLatitude, double* tokyoLongitude);
void TokyoToWgsDatum(double latitude, double longitude, double* wgsLatitude, double* wgsLongitude);

// Signs the position by its hemisphere flags, then fills both pairs from the one the datum flag names.
void ComputeGpsDatums(GpsPosition* position);

// 0 a general web map in WGS84, 1 and 2 Japanese web maps in the Tokyo datum.
constexpr int32_t kMapSiteCount = 3;
// The HTTP address that opens the WGS84 position on the site, numbers in the C locale whatever
// the process locale; false (and an empty text) for a site number out of range or a short buffer.
bool BuildMapSiteAddress(int32_t site, double latitude, double longitude, char* out, size_t outSize);
