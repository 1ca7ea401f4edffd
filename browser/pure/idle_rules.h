// Per-tick arithmetic of the idle loop: focus-point easing, keyboard scrolling velocities of
// zoomed pictures, the exposure shift, the folder-open countdown, and the byte-size texts of
// the status bar.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t kScrollKeyCount = 8;
// Directions of the numeric keys 7, 8, 9, 6, 3, 2, 1, 4, in that order.
extern const int8_t kScrollKeyDirections[kScrollKeyCount][2];

float EaseTowards(float point, float target);
void UpdateScrollVelocities(const bool held[kScrollKeyCount], float* vx, float* vy);
// True when the velocities move the picture this tick (truncated magnitude above 1).
bool ScrollVelocityMoves(float vx, float vy);
int32_t ClampExposureShift(int32_t shift);

// Countdown before a requested folder opens: a request restarts it, the load happens when it
// runs out while no load is running.
struct FolderOpenDelay {
  bool pending = false;
  int32_t ticks = 0;
  int32_t args[2] = {0, 0};
};
constexpr int32_t kFolderOpenDelayTicks = 20;
void RequestFolderOpen(FolderOpenDelay* d, int32_t arg0, int32_t arg1);
// One tick; true when the folder should be loaded now (pending is then cleared).
bool TickFolderOpenDelay(FolderOpenDelay* d, bool loadRunning);

// "1023Byte", "1.00KB", "5.00GB": returns the characters written (ASCII).
int FormatByteSizeText(char* out, size_t capacity, int64_t bytes);
