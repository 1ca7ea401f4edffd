#include "browser/pure/idle_rules.h"

#include <cstdio>
#include <cstdlib>

const int8_t kScrollKeyDirections[kScrollKeyCount][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                                         {1, 1},   {0, 1},  {-1, 1}, {-1, 0}};

float EaseTowards(float point, float target) { return point + (target - point) * 0.07f; }

void UpdateScrollVelocities(const bool held[kScrollKeyCount], float* vx, float* vy) {
  for (int k = 0; k < kScrollKeyCount; ++k) {
    if (held[k]) {
      const int dx = kScrollKeyDirections[k][0], dy = kScrollKeyDirections[k][1];
      if (dx) *vx += (100.0f * dx - *vx) * 0.15f;
      if (dy) *vy += (100.0f * dy - *vy) * 0.15f;
    } else {
      *vx += (0 - *vx) * 0.06f;
      *vy += (0 - *vy) * 0.06f;
    }
  }
}

bool ScrollVelocityMoves(float vx, float vy) {
  return std::abs(static_cast<int32_t>(vx)) > 1 || std::abs(static_cast<int32_t>(vy)) > 1;
}

int32_t ClampExposureShift(int32_t shift) { return shift < -192 ? -192 : (shift > 192 ? 192 : shift); }

void RequestFolderOpen(FolderOpenDelay* d, int32_t arg0, int32_t arg1) {
  d->pending = true;
  d->ticks = kFolderOpenDelayTicks;
  d->args[0] = arg0;
  d->args[1] = arg1;
}

bool TickFolderOpenDelay(FolderOpenDelay* d, bool loadRunning) {
  if (!d->pending || loadRunning) return false;
  if (d->ticks > 0) --d->ticks;
  if (d->ticks != 0) return false;
  d->pending = false;
  return true;
}

int FormatByteSizeText(char* out, size_t capacity, int64_t n) {
  if (capacity == 0) return 0;
  int written;
  if (n < 1024) {
    written = std::snprintf(out, capacity, "%dByte", static_cast<int32_t>(static_cast<uint32_t>(n)));
  } else {
    const float x = static_cast<float>(n);
    if (n > 0xFFFFFFFFLL || n >= 0x40000000LL)
      written = std::snprintf(out, capacity, "%0.2fGB", x / 1073741824.0f);
    else if (n >= 0x100000LL)
      written = std::snprintf(out, capacity, "%0.2fMB", x / 1048576.0f);
    else
      written = std::snprintf(out, capacity, "%0.2fKB", x / 1024.0f);
  }
  if (written < 0) return 0;
  return written < static_cast<int>(capacity) ? written : static_cast<int>(capacity) - 1;
}
