#include "metadata/pure/gps_log.h"

#include <cstring>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

template <typename Char>
bool IsDigit(Char c) {
  return c >= '0' && c <= '9';
}

// The fixed-width digits at [at, at + n) of text; false when one is not a digit.
template <typename Char>
bool FixedDigits(const Char* text, size_t at, size_t n, int64_t* value) {
  int64_t v = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (!IsDigit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
  }
  *value = v;
  return true;
}

// A whole number at [begin, end) read as atoi would (sign, then digits up to the first other
// byte), never past end: 0 when there is no digit.
int64_t FieldInteger(const uint8_t* data, size_t begin, size_t end) {
  size_t i = begin;
  bool negative = false;
  if (i < end && (data[i] == '-' || data[i] == '+')) negative = data[i++] == '-';
  int64_t v = 0;
  for (int digits = 0; i < end && IsDigit(data[i]) && digits < 18; ++i, ++digits) v = v * 10 + (data[i] - '0');
  return negative ? -v : v;
}

double FieldDecimal(const uint8_t* data, size_t begin, size_t end) {
  double v = 0;
  return ParseDecimalNumber(data + begin, end - begin, &v) ? v : 0.0;
}

// Index of the next LF at or after from, or size when there is none.
size_t NextLineFeed(const uint8_t* data, size_t size, size_t from) {
  if (from >= size) return size;
  const void* at = std::memchr(data + from, '\n', size - from);
  return at ? static_cast<size_t>(static_cast<const uint8_t*>(at) - data) : size;
}

const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

template <typename Char>
bool ParseDecimal(const Char* text, size_t length, double* value) {
  size_t i = 0;
  while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  bool negative = false;
  if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint64_t mantissa = 0;
  int significant = 0, scale = 0;  // value = mantissa * 10^-scale (scale may go negative)
  bool any = false;
  for (; i < length && IsDigit(text[i]); ++i) {
    any = true;
    if (significant < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
      if (mantissa) ++significant;
    } else {
      --scale;  // digits beyond what the mantissa holds only scale it
    }
  }
  if (i < length && text[i] == '.') {
    for (++i; i < length && IsDigit(text[i]); ++i) {
      any = true;
      if (significant < 19) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
        if (mantissa) ++significant;
        ++scale;
      }
    }
  }
  if (!any) return false;
  // A mantissa below 2^53 and a power of ten up to 1e22 are exact, so one division rounds
  // correctly: coordinates read back exactly as written.
  double v = static_cast<double>(mantissa);
  if (scale > 0) {
    while (scale > 22) {
      v /= 1e22;
      scale -= 22;
    }
    v /= kPowersOfTen[scale];
  } else {
    for (int s = -scale; s > 0;) {
      const int step = s > 22 ? 22 : s;
      v *= kPowersOfTen[step];
      s -= step;
    }
  }
  *value = negative ? -v : v;
  return true;
}

// AU logs carry absolute times: seconds from the start of 1980-01-06 in GPS terms. The phones
// that write them keep Japan time, so the offset lands them on the wall-clock scale of Japan
// time (the epoch's Japan-time local conversion, 315,932,414, plus 9 hours).
constexpr int64_t kAuTimeOffset = 315932414 + 9 * 3600;
const uint8_t kAuMarker[13] = {0x2B, 0x2B, 0x2B, 0x47, 0x50, 0x53, 0x83, 0x8D, 0x83, 0x4F, 0x2B, 0x2B, 0x2B};
constexpr size_t kAuRecord = 32;

}  // namespace

int64_t GpsWallClockSeconds(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute, int64_t second) {
  // Wild fields from files must not overflow: clamp the calendar to a range far beyond any log.
  auto clamp = [](int64_t v, int64_t limit) { return v < -limit ? -limit : v > limit ? limit : v; };
  year = clamp(year, 1000000);
  month = clamp(month, 1000000);
  day = clamp(day, 100000000);
  hour = clamp(hour, 100000000);
  minute = clamp(minute, 100000000);
  second = clamp(second, 100000000);
  year += FloorDiv(month - 1, 12);
  month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
  return DaysFromCivil(year, month, 1) * 86400 + (day - 1) * 86400 + hour * 3600 + minute * 60 + second;
}

bool ParseGpsShootingTime(const char16_t* text, int64_t* seconds) {
  if (!text) return false;
  size_t n = 0;
  while (n < 20 && text[n]) ++n;
  if (n != 19) return false;
  const bool dateSeparators = (text[4] == u':' || text[4] == u'/') && (text[7] == u':' || text[7] == u'/');
  if (!dateSeparators) return false;
  if (text[10] != u' ' || text[13] != u':' || text[16] != u':') return false;
  int64_t f[6];
  const size_t starts[6] = {0, 5, 8, 11, 14, 17}, widths[6] = {4, 2, 2, 2, 2, 2};
  for (int i = 0; i < 6; ++i)
    if (!FixedDigits(text, starts[i], widths[i], &f[i])) return false;
  *seconds = GpsWallClockSeconds(f[0], f[1], f[2], f[3], f[4], f[5]);
  return true;
}

void ParseAuTxtLog(const uint8_t* data, size_t size, GpsPointSink sink, void* context) {
  if (!data || size < sizeof kAuMarker) return;
  size_t marker = size;
  for (size_t i = 0; i + sizeof kAuMarker <= size; ++i) {
    if (data[i] == kAuMarker[0] && std::memcmp(data + i, kAuMarker, sizeof kAuMarker) == 0) {
      marker = i;
      break;
    }
  }
  if (marker == size) return;
  // The line break after the marker is skipped.
  for (size_t at = marker + 15; at < size && size - at >= kAuRecord;) {
    const uint8_t* r = data + at;
    if (r[9] != ',' || r[20] != ',' || r[31] != '\n') break;
    GpsPoint p;
    p.time = FieldInteger(r, 0, 9) + kAuTimeOffset;
    p.longitude = FieldDecimal(r, 10, 20);
    p.latitude = FieldDecimal(r, 21, 31);
    sink(context, p);
    at = NextLineFeed(data, size, at + 1) + 1;
  }
}

void ParseDocomoCsvLog(const uint8_t* data, size_t size, GpsPointSink sink, void* context) {
  if (!data) return;
  const size_t firstBreak = NextLineFeed(data, size, 0);
  if (firstBreak >= size) return;
  for (size_t at = firstBreak + 1; at < size;) {
    const uint8_t* r = data + at;
    const size_t n = size - at;
    if (n <= 16 || r[4] != '/' || r[7] != '/' || r[13] != ':') break;
    size_t e;
    if (r[15] == ':') e = 14;
    else if (r[16] == ':') e = 15;
    else break;
    if (n <= e + 24 || r[e + 4] != ',' || r[e + 14] != ',' || r[e + 24] != ',') break;
    const int64_t year = FieldInteger(r, 0, 4), month = FieldInteger(r, 5, 7), day = FieldInteger(r, 8, 10),
                  hour = FieldInteger(r, 11, 13), minute = FieldInteger(r, 14, e + 1),
                  second = FieldInteger(r, e + 2, e + 4);
    // Coordinates in thousandths of an arc second with 12,000 added; floating point keeps the
    // fraction of a degree.
    const double first = static_cast<double>(FieldInteger(r, e + 5, e + 14));
    const double second2 = static_cast<double>(FieldInteger(r, e + 15, e + 24));
    GpsPoint p;
    p.time = GpsWallClockSeconds(year, month, day, hour, minute, second);
    p.longitude = (first - 12000.0) / 1000.0 / 3600.0;
    p.latitude = (second2 - 12000.0) / 1000.0 / 3600.0;
    sink(context, p);
    at = NextLineFeed(data, size, at + 1) + 1;
  }
}

bool ParseGpxTime(const char16_t* text, size_t length, int32_t utcOffsetHours, int64_t* seconds) {
  if (!text || length < 19) return false;
  int64_t f[6];
  const size_t starts[6] = {0, 5, 8, 11, 14, 17}, widths[6] = {4, 2, 2, 2, 2, 2};
  for (int i = 0; i < 6; ++i)
    if (!FixedDigits(text, starts[i], widths[i], &f[i])) return false;
  *seconds = GpsWallClockSeconds(f[0], f[1], f[2], f[3], f[4], f[5]) + static_cast<int64_t>(utcOffsetHours) * 3600;
  return true;
}

bool ParseDecimalNumber(const char16_t* text, size_t length, double* value) {
  return text && ParseDecimal(text, length, value);
}

bool ParseDecimalNumber(const uint8_t* text, size_t length, double* value) {
  return text && ParseDecimal(text, length, value);
}

bool OfferGpsPoint(GpsPointTable& table, int64_t shootingTime, int32_t windowSeconds, const GpsPoint& point) {
  if (!table.points || table.count >= kGpsPointLimit) return false;
  // Times come from files: keep the difference from overflowing.
  if (point.time < INT64_MIN / 4 || point.time > INT64_MAX / 4) return false;
  int64_t gap = shootingTime - point.time;
  if (gap < 0) gap = -gap;
  if (gap > windowSeconds) return false;
  table.points[table.count++] = point;
  return true;
}

bool ChooseNearestGpsPoint(const GpsPointTable& table, int64_t shootingTime, int32_t windowSeconds, GpsPoint* chosen) {
  const GpsPoint* before = nullptr;
  const GpsPoint* after = nullptr;
  for (int32_t i = 0; table.points && i < table.count; ++i) {
    const GpsPoint& p = table.points[i];
    if (p.time >= shootingTime) {
      if (!after || p.time < after->time) after = &p;
    } else if (!before || p.time > before->time) {
      before = &p;
    }
  }
  if (!before && !after) return false;
  const GpsPoint* pick;
  if (before && (!after || shootingTime - before->time < after->time - shootingTime)) pick = before;
  else pick = after;
  const int64_t gap = pick == before ? shootingTime - pick->time : pick->time - shootingTime;
  if (gap > windowSeconds) return false;
  *chosen = *pick;
  return true;
}
