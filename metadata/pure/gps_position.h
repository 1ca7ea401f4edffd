// A picture's GPS position as the metadata reader delivers it, plus the datum pairs derived later.
#pragma once
#include <cstdint>

struct GpsPosition {
  int32_t south;      // 1 = southern hemisphere
  int32_t west;       // 1 = western hemisphere
  double latitude;    // degrees as recorded (unsigned)
  double longitude;
  int32_t datum;      // 1 "WGS-84" or no datum tag, 0 "TOKYO", -1 any other datum text
  double tokyoLatitude;
  double tokyoLongitude;
  double wgsLatitude;
  double wgsLongitude;
};
