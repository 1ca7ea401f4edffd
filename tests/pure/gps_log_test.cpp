// GPS logs: the one time scale, the AU and Docomo text logs, GPX fields, the point table and the
// choice of the nearest point.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "metadata/pure/gps_log.h"

namespace {

std::vector<GpsPoint> Collect(void (*parse)(const uint8_t*, size_t, GpsPointSink, void*), const std::string& bytes) {
  std::vector<GpsPoint> points;
  // A private copy of exactly the file's length, so a read past its end is caught.
  std::vector<uint8_t> file(bytes.begin(), bytes.end());
  parse(file.empty() ? nullptr : file.data(), file.size(),
        [](void* c, const GpsPoint& p) { static_cast<std::vector<GpsPoint>*>(c)->push_back(p); }, &points);
  return points;
}

int64_t Shot(const char16_t* text) {
  int64_t t = 0;
  EXPECT_TRUE(ParseGpsShootingTime(text, &t)) << std::string(text, text + 19);
  return t;
}

void SetTimeZone(const char* assignment) {
  static char text[32];
  snprintf(text, sizeof text, "%s", assignment);
#ifdef _WIN32
  _putenv(text);
  _tzset();
#else
  putenv(text);
  tzset();
#endif
}

const std::string kAuMarker = "+++GPS\x83\x8D\x83O+++";

TEST(GpsTime, OneScaleForEverySource) {
  // Unix times of the same fields, taken from a calendar outside this code.
  EXPECT_EQ(GpsWallClockSeconds(2013, 5, 3, 10, 2, 3), 1367575323);
  EXPECT_EQ(GpsWallClockSeconds(1970, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(GpsWallClockSeconds(1969, 12, 31, 23, 59, 59), -1);
  EXPECT_EQ(GpsWallClockSeconds(2013, 13, 1, 0, 0, 0), GpsWallClockSeconds(2014, 1, 1, 0, 0, 0));
  EXPECT_EQ(GpsWallClockSeconds(2014, 1, 1, 0, 0, 0), 1388534400);
  EXPECT_EQ(GpsWallClockSeconds(2012, 2, 29, 24, 0, 0), GpsWallClockSeconds(2012, 3, 1, 0, 0, 0));
  // Far beyond 2038 and 2106: 64 bits.
  EXPECT_EQ(GpsWallClockSeconds(2200, 1, 1, 0, 0, 0), 7258118400LL);

  // The process time zone plays no part.
  SetTimeZone("TZ=UTC");
  const int64_t utc = Shot(u"2013:05:03 10:02:03");
  SetTimeZone("TZ=JST-9");
  EXPECT_EQ(Shot(u"2013:05:03 10:02:03"), utc);
  SetTimeZone("TZ=");
  EXPECT_EQ(Shot(u"2013/05/03 10:02:03"), utc);

  int64_t t = 7;
  for (const char16_t* bad : {u"2013:05:03 10:02:0", u"2013:05:03 10:02:033", u"2013-05-03 10:02:03",
                              u"2013:05:03T10:02:03", u"2013:0a:03 10:02:03", u"", u"    :  :     :  :  "}) {
    EXPECT_FALSE(ParseGpsShootingTime(bad, &t)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  EXPECT_FALSE(ParseGpsShootingTime(nullptr, &t));
  EXPECT_EQ(t, 7);

  // GPX: UTC plus the offset meets the picture's Japan-time clock.
  const std::u16string gpx = u"2013-05-03T01:02:03Z";
  ASSERT_TRUE(ParseGpxTime(gpx.data(), gpx.size(), 9, &t));
  EXPECT_EQ(t, utc);
  const std::u16string fraction = u"2013-05-03T10:02:03.750+09:00";
  ASSERT_TRUE(ParseGpxTime(fraction.data(), fraction.size(), 0, &t));
  EXPECT_EQ(t, utc);
  ASSERT_TRUE(ParseGpxTime(gpx.data(), gpx.size(), -12, &t));
  EXPECT_EQ(t, utc - 21 * 3600);
  EXPECT_FALSE(ParseGpxTime(gpx.data(), 18, 9, &t));
  const std::u16string letters = u"2013-05-03Tab:02:03Z";
  EXPECT_FALSE(ParseGpxTime(letters.data(), letters.size(), 9, &t));
}

TEST(GpsTime, DecimalNumbersInTheCLocale) {
  double v = 0;
  const std::u16string text = u"35.681236";
  ASSERT_TRUE(ParseDecimalNumber(text.data(), text.size(), &v));
  EXPECT_EQ(v, 35.681236);
  struct Case {
    std::u16string text;
    double value;
  } cases[] = {{u"-139.767125", -139.767125}, {u"  +0.5", 0.5}, {u"12", 12.0},       {u"1,5", 1.0},
               {u".25", 0.25},                {u"7.", 7.0},     {u"0.000000000000000000000000001", 1e-27},
               {u"35.6812360000000000000001", 35.681236}};
  for (const Case& c : cases) {
    ASSERT_TRUE(ParseDecimalNumber(c.text.data(), c.text.size(), &v)) << std::string(c.text.begin(), c.text.end());
    EXPECT_DOUBLE_EQ(v, c.value) << std::string(c.text.begin(), c.text.end());
  }
  for (const std::u16string bad : {u"", u"abc", u"-", u".", u" - 1"})
    EXPECT_FALSE(ParseDecimalNumber(bad.data(), bad.size(), &v)) << std::string(bad.begin(), bad.end());
  // The length bounds the text: no terminator is needed.
  const std::u16string cut = u"12345";
  ASSERT_TRUE(ParseDecimalNumber(cut.data(), 2, &v));
  EXPECT_EQ(v, 12.0);
  // Every coordinate of six decimals reads exactly as the C library reads it.
  srand(7);
  for (int i = 0; i < 2000; ++i) {
    char ascii[32];
    snprintf(ascii, sizeof ascii, "%d.%06d", rand() % 361 - 180, rand() % 1000000);
    std::u16string wide(ascii, ascii + strlen(ascii));
    ASSERT_TRUE(ParseDecimalNumber(wide.data(), wide.size(), &v));
    EXPECT_EQ(v, strtod(ascii, nullptr)) << ascii;
  }
}

TEST(GpsLogs, AuTextLog) {
  const std::string head = "header line\r\n" + kAuMarker + "\r\n";
  const std::string crlf = "123456789,139.767125,35.681236\r\n";  // the CR falls in the latitude's field
  const std::string lf = "123456849,139.770000,35.6820000\n";
  ASSERT_EQ(crlf.size(), 32u);
  ASSERT_EQ(lf.size(), 32u);
  auto points = Collect(ParseAuTxtLog, head + crlf + lf);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].time, 123456789 + 315932414 + 9 * 3600);
  EXPECT_EQ(points[0].longitude, 139.767125);
  EXPECT_EQ(points[0].latitude, 35.681236);
  EXPECT_EQ(points[1].time - points[0].time, 60);
  EXPECT_EQ(points[1].latitude, 35.682);

  // Reading stops at the first record that does not fit, even when good ones follow.
  const std::string broken = "123456789;139.767125,35.681236\r\n";
  points = Collect(ParseAuTxtLog, head + crlf + broken + lf);
  EXPECT_EQ(points.size(), 1u);
  // A last record cut short, a marker at the very end, no marker at all.
  EXPECT_EQ(Collect(ParseAuTxtLog, head + crlf + lf.substr(0, 31)).size(), 1u);
  EXPECT_TRUE(Collect(ParseAuTxtLog, "x" + kAuMarker).empty());
  EXPECT_TRUE(Collect(ParseAuTxtLog, kAuMarker + "\r").empty());
  EXPECT_TRUE(Collect(ParseAuTxtLog, "+++GPS+++\r\n" + crlf).empty());
  EXPECT_TRUE(Collect(ParseAuTxtLog, "").empty());
}

TEST(GpsLogs, DocomoCsvLog) {
  const std::string head = "date,lon,lat,extra\r\n";
  const std::string two = "2013/05/03 12:34:56,502896000,128452000,1\r\n";
  const std::string one = "2013/05/03 12:5:07,502896000,128452000,1\n";
  auto points = Collect(ParseDocomoCsvLog, head + two + one);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].time, GpsWallClockSeconds(2013, 5, 3, 12, 34, 56));
  EXPECT_EQ(points[1].time, GpsWallClockSeconds(2013, 5, 3, 12, 5, 7));
  EXPECT_NEAR(points[0].longitude, 139.69, 1e-12);  // not 139: the fraction is kept
  EXPECT_NEAR(points[0].latitude, (128452000 - 12000) / 3600000.0, 1e-12);

  // Malformed records end the reading; the first line alone or no line break gives nothing.
  for (const std::string bad : {"2013-05-03 12:34:56,502896000,128452000,1\n", "2013/05/03 12:345:6,502896000,128452000,1\n",
                                "2013/05/03 12:34:56,50289600,128452000,1\n", "2013/05/03 12:34:56,502896000,128452000\n"}) {
    EXPECT_EQ(Collect(ParseDocomoCsvLog, head + two + bad + one).size(), 1u) << bad;
  }
  EXPECT_TRUE(Collect(ParseDocomoCsvLog, two).empty());  // the first line is the header, whatever it holds
  EXPECT_TRUE(Collect(ParseDocomoCsvLog, "2013/05/03 12:34:56,502896000,128452000,1").empty());
  // Every cut of a record reads no byte past the file and keeps the whole records before it.
  const std::string all = head + two + one;
  for (size_t n = 0; n <= all.size(); ++n) {
    const size_t got = Collect(ParseDocomoCsvLog, all.substr(0, n)).size();
    EXPECT_LE(got, 2u);
    if (n >= head.size() + two.size()) EXPECT_GE(got, 1u) << n;
  }
}

TEST(GpsLogs, TheWindowTheLimitAndTheNearestPoint) {
  std::vector<GpsPoint> slots(kGpsPointLimit);
  GpsPointTable table{slots.data(), 0};
  const int64_t shot = GpsWallClockSeconds(2013, 5, 3, 10, 2, 3);
  GpsPoint chosen{};

  // 181 s away is never stored; alone it gives no estimate.
  EXPECT_FALSE(OfferGpsPoint(table, shot, 180, {shot - 181, 1, 1}));
  EXPECT_FALSE(OfferGpsPoint(table, shot, 180, {shot + 181, 1, 1}));
  EXPECT_FALSE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_TRUE(OfferGpsPoint(table, shot, 180, {shot - 180, 2, 2}));
  ASSERT_TRUE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_EQ(chosen.latitude, 2);

  // A tie at 30 s either side takes the later point; a strictly nearer earlier one wins.
  table.count = 0;
  OfferGpsPoint(table, shot, 180, {shot - 30, 10, 10});
  OfferGpsPoint(table, shot, 180, {shot + 30, 20, 20});
  ASSERT_TRUE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_EQ(chosen.latitude, 20);
  OfferGpsPoint(table, shot, 180, {shot - 29, 30, 30});
  ASSERT_TRUE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_EQ(chosen.latitude, 30);
  // A point at the shooting time itself: gap 0 on the after side.
  OfferGpsPoint(table, shot, 180, {shot, 40, 40});
  ASSERT_TRUE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_EQ(chosen.latitude, 40);
  // Equal times keep the earlier point of the table.
  OfferGpsPoint(table, shot, 180, {shot, 50, 50});
  ASSERT_TRUE(ChooseNearestGpsPoint(table, shot, 180, &chosen));
  EXPECT_EQ(chosen.latitude, 40);

  // Times before 1970 and after 2106 compare like any others.
  for (int64_t when : {GpsWallClockSeconds(1965, 1, 1, 0, 0, 0), GpsWallClockSeconds(2150, 1, 1, 0, 0, 0)}) {
    table.count = 0;
    OfferGpsPoint(table, when, 180, {when - 5, 1, 1});
    ASSERT_TRUE(ChooseNearestGpsPoint(table, when, 180, &chosen));
    EXPECT_EQ(chosen.time, when - 5);
  }

  // At most 4,095 points: the first ones offered.
  table.count = 0;
  for (int i = 0; i < 5000; ++i) OfferGpsPoint(table, shot, 180, {shot + 100 - i % 50, static_cast<double>(i), 0});
  EXPECT_EQ(table.count, 4095);
  EXPECT_EQ(table.points[4094].latitude, 4094);
  GpsPointTable none;
  EXPECT_FALSE(OfferGpsPoint(none, shot, 180, {shot, 1, 1}));
  EXPECT_FALSE(ChooseNearestGpsPoint(none, shot, 180, &chosen));
}

// Real-world shaped tracks: a walk logged every 10 s with a pause, a gap while the receiver had
// no fix, and a GPS clock in UTC against a camera in Japan time.
TEST(GpsLogs, ATrackWithAPauseAndAGap) {
  std::string csv = "日時,経度,緯度,\n";
  auto record = [](int h, int m, int s, double lon, double lat) {
    char line[96];
    snprintf(line, sizeof line, "2013/05/03 %02d:%d:%02d,%09ld,%09ld,0\n", h, m, s,
             static_cast<long>(lon * 3600000 + 12000.5), static_cast<long>(lat * 3600000 + 12000.5));
    return std::string(line);
  };
  // 10:00:00 to 10:04:50 walking east, standing still 10:05:00 to 10:09:50, no fix until 10:20:00.
  for (int i = 0; i < 30; ++i) csv += record(10, i * 10 / 60, i * 10 % 60, 139.70 + i * 0.0001, 35.68);
  for (int i = 0; i < 30; ++i) csv += record(10, 5 + i * 10 / 60, i * 10 % 60, 139.703, 35.68);
  csv += record(10, 20, 0, 139.72, 35.69);
  auto points = Collect(ParseDocomoCsvLog, csv);
  ASSERT_EQ(points.size(), 61u);

  std::vector<GpsPoint> slots(kGpsPointLimit);
  auto estimate = [&](const char16_t* date, GpsPoint* out) {
    GpsPointTable table{slots.data(), 0};
    const int64_t shot = Shot(date);
    for (const GpsPoint& p : points) OfferGpsPoint(table, shot, 180, p);
    return ChooseNearestGpsPoint(table, shot, 180, out);
  };
  GpsPoint at{};
  // 10:01:04 lies 4 s after the point of 10:01:00 (the seventh, 139.7006) and 6 s before the next.
  ASSERT_TRUE(estimate(u"2013:05:03 10:01:04", &at));
  EXPECT_NEAR(at.longitude, 139.7006, 1e-6);
  // 10:01:05: a tie, the later point.
  ASSERT_TRUE(estimate(u"2013:05:03 10:01:05", &at));
  EXPECT_NEAR(at.longitude, 139.7007, 1e-6);
  // During the pause every point is the same place.
  ASSERT_TRUE(estimate(u"2013:05:03 10:07:33", &at));
  EXPECT_NEAR(at.longitude, 139.703, 1e-6);
  // In the gap: 10:12:50 is 170 s after the last fix; 10:15:00 is 310 s and 300 s from the two sides.
  ASSERT_TRUE(estimate(u"2013:05:03 10:12:50", &at));
  EXPECT_EQ(at.time, GpsWallClockSeconds(2013, 5, 3, 10, 9, 50));
  EXPECT_FALSE(estimate(u"2013:05:03 10:15:00", &at));
  ASSERT_TRUE(estimate(u"2013:05:03 10:17:30", &at));
  EXPECT_NEAR(at.latitude, 35.69, 1e-6);
  // Another day: nothing.
  EXPECT_FALSE(estimate(u"2013:05:04 10:01:04", &at));
}

}  // namespace
