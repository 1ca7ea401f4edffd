// Datum conversion against a geodetic transformation written here, the datum pairs of a
// picture's position, and the map-site addresses in any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

#include "metadata/pure/map_site.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Tokyo datum (Bessel ellipsoid) to WGS84 through earth-centred coordinates and the published
// three-parameter shift of the Tokyo datum.
void ReferenceTokyoToWgs(double lat, double lon, double* outLat, double* outLon) {
  const double a = 6377397.155, f = 1 / 299.152813, e2 = f * (2 - f);
  const double phi = lat * kPi / 180, lambda = lon * kPi / 180;
  const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
  const double x = n * std::cos(phi) * std::cos(lambda) - 146.414;
  const double y = n * std::cos(phi) * std::sin(lambda) + 507.337;
  const double z = n * (1 - e2) * std::sin(phi) + 680.507;
  const double a2 = 6378137.0, f2 = 1 / 298.257223563, e22 = f2 * (2 - f2);
  const double p = std::hypot(x, y);
  double phi2 = std::atan2(z, p * (1 - e22));
  for (int i = 0; i < 10; ++i) {
    const double n2 = a2 / std::sqrt(1 - e22 * std::sin(phi2) * std::sin(phi2));
    phi2 = std::atan2(z + e22 * n2 * std::sin(phi2), p);
  }
  *outLat = phi2 * 180 / kPi;
  *outLon = std::atan2(y, x) * 180 / kPi;
}

double Metres(double lat1, double lon1, double lat2, double lon2) {
  const double dy = (lat1 - lat2) * 111320.0, dx = (lon1 - lon2) * 111320.0 * std::cos(lat1 * kPi / 180);
  return std::hypot(dx, dy);
}

std::string Address(int site, double lat, double lon) {
  char text[512];
  if (!BuildMapSiteAddress(site, lat, lon, text, sizeof text)) return "(none)";
  return text;
}

std::string Fixed(double v, int decimals) {
  char text[64];
  snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

TEST(MapSite, DatumConversionAgainstAGeodeticTransformation) {
  struct Place {
    const char* name;
    double lat, lon;
  } places[] = {{"Tokyo", 35.681236, 139.767125},
                {"Sapporo", 43.0686, 141.3508},
                {"Osaka", 34.7025, 135.4959},
                {"Fukuoka", 33.5902, 130.4017}};
  for (const Place& p : places) {
    double wLat, wLon, rLat, rLon, tLat, tLon;
    TokyoToWgsDatum(p.lat, p.lon, &wLat, &wLon);
    ReferenceTokyoToWgs(p.lat, p.lon, &rLat, &rLon);
    // The shift itself is some 400-500 m; the linear form stays within metres of the full one.
    EXPECT_GT(Metres(p.lat, p.lon, wLat, wLon), 300) << p.name;
    EXPECT_LT(Metres(wLat, wLon, rLat, rLon), 10) << p.name;
    WgsToTokyoDatum(rLat, rLon, &tLat, &tLon);
    EXPECT_LT(Metres(tLat, tLon, p.lat, p.lon), 10) << p.name;
    // There and back moves a point well under a metre.
    WgsToTokyoDatum(wLat, wLon, &tLat, &tLon);
    EXPECT_LT(Metres(tLat, tLon, p.lat, p.lon), 0.1) << p.name;
  }
  double lat, lon;
  WgsToTokyoDatum(35.681236, 139.767125, &lat, &lon);
  EXPECT_NEAR(lat, 35.681236 + 0.003817 - 0.002441 - 0.004602, 1e-6);
}

TEST(MapSite, DatumPairsOfAPicturesPosition) {
  GpsPosition wgs{};
  wgs.latitude = 33.5;
  wgs.longitude = 130.4;
  wgs.south = 1;
  wgs.datum = 1;
  ComputeGpsDatums(&wgs);
  EXPECT_EQ(wgs.wgsLatitude, -33.5);
  EXPECT_EQ(wgs.wgsLongitude, 130.4);
  double lat, lon;
  WgsToTokyoDatum(-33.5, 130.4, &lat, &lon);
  EXPECT_EQ(wgs.tokyoLatitude, lat);
  EXPECT_EQ(wgs.tokyoLongitude, lon);

  GpsPosition other = wgs;  // an unknown datum text is taken as WGS84 too
  other.latitude = 33.5;
  other.datum = -1;
  other.west = 1;
  ComputeGpsDatums(&other);
  EXPECT_EQ(other.wgsLatitude, -33.5);
  EXPECT_EQ(other.wgsLongitude, -130.4);

  GpsPosition tokyo{};
  tokyo.latitude = 35.678009;
  tokyo.longitude = 139.770335;
  tokyo.datum = 0;
  ComputeGpsDatums(&tokyo);
  EXPECT_EQ(tokyo.tokyoLatitude, 35.678009);
  EXPECT_NEAR(tokyo.wgsLatitude, 35.681236, 1e-5);
  EXPECT_NEAR(tokyo.wgsLongitude, 139.767125, 1e-5);
}

TEST(MapSite, AddressesInTheCLocale) {
  const std::string google = Address(0, 35.681236, 139.767125);
  EXPECT_EQ(google.substr(0, 7), "http://");
  EXPECT_NE(google.find("/maphp?hl=ja&q=&ie=UTF8&om=1&z=17&ll=35.681236,139.767125"), std::string::npos) << google;
  EXPECT_EQ(google.substr(google.size() - 23), "ll=35.681236,139.767125");

  double lat, lon;
  WgsToTokyoDatum(35.681236, 139.767125, &lat, &lon);
  const std::string mapion = Address(1, 35.681236, 139.767125);
  EXPECT_NE(mapion.find("/m/" + Fixed(lat, 13) + "_" + Fixed(lon, 13) + "_10/"), std::string::npos) << mapion;
  EXPECT_NE(mapion.find("/m/35.6780091"), std::string::npos) << mapion;
  const std::string yahoo = Address(2, 35.681236, 139.767125);
  EXPECT_NE(yahoo.find("/pl?&sc=2&lat=" + Fixed(lat, 13) + "&lon=" + Fixed(lon, 13)), std::string::npos) << yahoo;

  WgsToTokyoDatum(-33.5, 151.2, &lat, &lon);
  EXPECT_NE(Address(2, -33.5, 151.2).find("lat=" + Fixed(lat, 13)), std::string::npos);
  EXPECT_NE(Address(0, -33.5, -0.25).find("ll=-33.500000,-0.250000"), std::string::npos);

  EXPECT_EQ(Address(3, 35, 139), "(none)");
  EXPECT_EQ(Address(-1, 35, 139), "(none)");
  char tiny[20] = "unchanged";
  EXPECT_FALSE(BuildMapSiteAddress(0, 35, 139, tiny, sizeof tiny));
  EXPECT_EQ(tiny[0], 0);

  // A locale whose decimal mark is a comma leaves the addresses as they are.
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German", "fr_FR.UTF-8"};
  bool switched = false;
  for (const char* name : names)
    if (setlocale(LC_NUMERIC, name) && localeconv()->decimal_point[0] == ',') {
      switched = true;
      break;
    }
  if (!switched) {
    setlocale(LC_NUMERIC, "C");
    GTEST_SKIP() << "no locale with a decimal comma here";
  }
  EXPECT_EQ(Fixed(1.5, 1), "1,5");  // the locale is in force
  const std::string google2 = Address(0, 35.681236, 139.767125), mapion2 = Address(1, 35.681236, 139.767125);
  setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(google2, google);
  EXPECT_EQ(mapion2, mapion);
}

}  // namespace
