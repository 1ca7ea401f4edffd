#include "core/pure/movie_rules.h"

#include <cstdio>
#include <cstring>

int32_t MoviePositionScale(int32_t durationSeconds) {
  if (durationSeconds <= 0) return 1;
  const float perStep = static_cast<float>(durationSeconds) / 30000.0f;
  const float scale = 1.0f / perStep;
  if (!(scale >= 1.0f)) return 1;
  if (scale >= 2147483647.0f) return 2147483647;
  return static_cast<int32_t>(scale);
}

void FormatMovieTime(int32_t seconds, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return;
  if (seconds < 0) seconds = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  size_t i = 0;
  for (; text[i] && i + 1 < capacity; ++i) out[i] = static_cast<char16_t>(text[i]);
  out[i] = 0;
}

int32_t MovieVolumeToDirectShow(int32_t volume) {
  if (volume <= -127) return -10000;
  if (volume > 0) volume = 0;
  return volume * 30;
}

double MovieFrameTime(double seconds, int32_t durationSeconds) {
  if (!(seconds >= 0)) return 0;
  const double last = static_cast<double>(durationSeconds) - 1;
  const double t = seconds < last ? seconds : last;
  return t > 0 ? t : 0;
}

double MovieSkipPosition(double position, int32_t durationSeconds, int direction) {
  const double duration = durationSeconds > 0 ? durationSeconds : 0;
  double p = position + (direction >= 0 ? 1 : -1) * (duration / 30);
  if (!(p >= 0)) p = 0;
  if (p > duration) p = duration;
  return p;
}

bool MovieCaptureSize(int32_t width, int32_t height, bool resize, int32_t longSide, int32_t* outWidth,
                      int32_t* outHeight) {
  if (width <= 0 || height <= 0) return false;
  if (!resize) {
    *outWidth = width;
    *outHeight = height;
    return true;
  }
  if (longSide <= 0) return false;
  const float a = static_cast<float>(width) / static_cast<float>(longSide);
  const float b = static_cast<float>(height) / static_cast<float>(longSide);
  int32_t w, h;
  if (b > a) {
    w = static_cast<int32_t>(static_cast<float>(longSide) * a / b);
    h = longSide;
  } else {
    w = longSide;
    h = static_cast<int32_t>(static_cast<float>(longSide) * b / a);
  }
  // A sliver of a movie still gives a picture of one pixel.
  *outWidth = w > 0 ? w : 1;
  *outHeight = h > 0 ? h : 1;
  return true;
}

namespace {
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

bool BuildBmpFileHeader(const uint8_t* dib, size_t dibBytes, uint8_t out[14]) {
  if (!dib || dibBytes < 40 || dibBytes > 0xFFFFFFFFu - 14) return false;
  const uint32_t headerSize = Get32(dib);
  if (headerSize < 40 || headerSize > dibBytes) return false;
  const uint16_t bits = Get16(dib + 14);
  const uint32_t compression = Get32(dib + 16);
  uint32_t colours = Get32(dib + 32);
  if (colours == 0 && bits >= 1 && bits <= 8) colours = 1u << bits;
  if (colours > 256 && bits <= 8) return false;
  uint64_t table = static_cast<uint64_t>(colours) * 4;
  // Three colour masks follow a plain 40-byte header with bit fields.
  if (headerSize == 40 && compression == 3) table += 12;
  const uint64_t offset = 14 + static_cast<uint64_t>(headerSize) + table;
  if (offset > 14 + static_cast<uint64_t>(dibBytes)) return false;
  std::memset(out, 0, 14);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out + 2, static_cast<uint32_t>(14 + dibBytes));
  Put32(out + 10, static_cast<uint32_t>(offset));
  return true;
}
