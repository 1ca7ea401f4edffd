#include "metadata/pure/map_site.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// printf follows the process locale (start-up takes the user's); a decimal comma would break the
// address, so the locale's decimal point is put back to '.'. Fixed notation has no grouping.
std::string CLocaleFixed(double value, int decimals) {
  char text[512];
  const int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof text) return "0";
  std::string s(text, static_cast<size_t>(n));
  const lconv* conv = std::localeconv();
  const char* point = conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point : ".";
  if (std::strcmp(point, ".") != 0) {
    const size_t at = s.find(point);
    if (at != std::string::npos) s.replace(at, std::strlen(point), ".");
  }
  return s;
}

}  // namespace

void WgsToTokyoDatum(double latitude, double longitude, double* tokyoLatitude, double* tokyoLongitude) {
  *tokyoLatitude = (1.0696e-4 * latitude + latitude) - 1.7467e-5 * longitude - 0.004602;
  *tokyoLongitude = (4.6047e-5 * latitude + longitude) + 8.3049e-5 * longitude - 0.010041;
}

void TokyoToWgsDatum(double latitude, double longitude, double* wgsLatitude, double* wgsLongitude) {
  *wgsLatitude = (latitude - 1.0695e-4 * latitude) + 1.7464e-5 * longitude + 0.0046017;
  *wgsLongitude = (longitude - 4.6038e-5 * latitude) - 8.3043e-5 * longitude + 0.01004;
}

void ComputeGpsDatums(GpsPosition* position) {
  GpsPosition& p = *position;
  if (p.south == 1) p.latitude = -p.latitude;
  if (p.west == 1) p.longitude = -p.longitude;
  if (p.datum != 0) {
    WgsToTokyoDatum(p.latitude, p.longitude, &p.tokyoLatitude, &p.tokyoLongitude);
    p.wgsLatitude = p.latitude;
    p.wgsLongitude = p.longitude;
  } else {
    p.tokyoLatitude = p.latitude;
    p.tokyoLongitude = p.longitude;
    TokyoToWgsDatum(p.latitude, p.longitude, &p.wgsLatitude, &p.wgsLongitude);
  }
}

bool BuildMapSiteAddress(int32_t site, double latitude, double longitude, char* out, size_t outSize) {
  if (!out || outSize == 0) return false;
  out[0] = 0;
  std::string address;
  if (site == 0) {
    address = "http://maps.google.co.jp/maphp?hl=ja&q=&ie=UTF8&om=1&z=17&ll=" + CLocaleFixed(latitude, 6) + "," +
              CLocaleFixed(longitude, 6);
  } else if (site == 1 || site == 2) {
    double lat, lon;
    WgsToTokyoDatum(latitude, longitude, &lat, &lon);
    if (site == 1)
      address = "http://www.mapion.co.jp/m/" + CLocaleFixed(lat, 13) + "_" + CLocaleFixed(lon, 13) + "_10/";
    else
      address = "http://map.yahoo.co.jp/pl?&sc=2&lat=" + CLocaleFixed(lat, 13) + "&lon=" + CLocaleFixed(lon, 13);
  } else {
    return false;
  }
  if (address.size() >= outSize) return false;
  std::memcpy(out, address.c_str(), address.size() + 1);
  return true;
}
