// GPS logs: the shooting-time scale, the AU and Docomo text logs, the fields of GPX points, and
// the choice of the logged point nearest a shooting time.
#pragma once
#include <cstddef>
#include <cstdint>

// Wall-clock fields to seconds on one scale, counted as if the clock were UTC. Every time
// source goes through this rule, never through the process time zone, so a shooting time and a
// log time compare whatever the zone (or a TZ variable set by the RAW development). Fields out
// of range carry over as a calendar would (month 13 is January of the next year).
int64_t GpsWallClockSeconds(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute, int64_t second);

// A picture's date text "YYYY:MM:DD hh:mm:ss" (exactly 19 characters; '/' is taken for the
// date's ':' too) on the wall-clock scale; false when the text has another layout.
bool ParseGpsShootingTime(const char16_t* text, int64_t* seconds);

struct GpsPoint {
  int64_t time;      // wall-clock scale
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
};

using GpsPointSink = void (*)(void* context, const GpsPoint& point);

// AU ".txt" location log, whole file in memory: every record up to the first that does not fit.
void ParseAuTxtLog(const uint8_t* data, size_t size, GpsPointSink sink, void* context);
// Docomo ".csv" location log, whole file in memory.
void ParseDocomoCsvLog(const uint8_t* data, size_t size, GpsPointSink sink, void* context);

// A GPX "time" text (YYYY-MM-DDThh:mm:ss, fractions and zone ignored) plus the UTC offset in
// hours; false when the text is shorter or its fields are not digits.
bool ParseGpxTime(const char16_t* text, size_t length, int32_t utcOffsetHours, int64_t* seconds);
// A decimal number in the C locale ("-12.5", leading blanks skipped, trailing text ignored);
// false when no digit is there.
bool ParseDecimalNumber(const char16_t* text, size_t length, double* value);
bool ParseDecimalNumber(const uint8_t* text, size_t length, double* value);

// The points of one estimate: at most 4,095, only those within the window of the shooting time.
constexpr int32_t kGpsPointLimit = 4095;
struct GpsPointTable {
  GpsPoint* points = nullptr;  // kGpsPointLimit slots, or null while no estimate runs
  int32_t count = 0;
};
// Keeps the point when it lies within windowSeconds of the shooting time and there is room.
bool OfferGpsPoint(GpsPointTable& table, int64_t shootingTime, int32_t windowSeconds, const GpsPoint& point);
// The point nearest the shooting time: the nearest before and the nearest at or after it
// (earlier in the table on equal times), the before one only when strictly nearer; false when
// there is none or it lies outside the window.
bool ChooseNearestGpsPoint(const GpsPointTable& table, int64_t shootingTime, int32_t windowSeconds, GpsPoint* chosen);
