#include "core/stage_clock.h"

bool g_stageClockOn = false;
double g_stageSeconds[kClockStages];
const char* const kClockStageNames[kClockStages] = {
    "cache file read",    "cache records",        "folder walk + entries", "last-file check",
    "image lists",        "list rows",            "image lock",  "metadata dump + info",  "thumbnail read",
    "thumbnail decode",   "88x60 picture",        "list boxes",  "sharpening",  "histogram",
    "image list replace", "redraw + progress",    "cache block build",     "cache file write"};

void ResetStageClock() {
  for (double& s : g_stageSeconds) s = 0;
}

void StageClock::Stop() {
  if (!g_stageClockOn || start_.QuadPart == 0) return;
  LARGE_INTEGER end, frequency;
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  // The list thread's workers time their steps side by side.
  static SRWLOCK lock = SRWLOCK_INIT;
  AcquireSRWLockExclusive(&lock);
  g_stageSeconds[stage_] += static_cast<double>(end.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
  ReleaseSRWLockExclusive(&lock);
  start_.QuadPart = 0;
}
