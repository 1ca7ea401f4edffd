// Where the main road's time goes: the list load, the list thread's steps for each row and the
// cache file, summed while a bench has the clock on. Off, a step costs one test of a flag.
#pragma once

#include <windows.h>

enum ClockStage {
  kClockCacheRead,      // reading and checking the folder's cache file
  kClockCacheRecords,   // turning its records into entries
  kClockWalk,           // the folder walk and the entries of files not cached
  kClockSettle,         // the last file's stability check
  kClockImageLists,     // the image lists with their placeholders
  kClockListRows,       // the rows of the list control and the view set up
  kClockLocks,          // waiting for the image lock of a row
  kClockMetadata,       // the metadata dump and the information record
  kClockThumbRead,      // reading the embedded thumbnail's bytes
  kClockDecode,         // decoding it
  kClockLevel0,         // drawing it into the 88 x 60 picture (or taking the cache's)
  kClockBoxes,          // the two list boxes drawn
  kClockSharpen,        // their sharpening
  kClockHistogram,      // counting, the histogram picture and its box
  kClockImageList,      // replacing the rows' images
  kClockRedraw,         // redraws of filled rows and the progress count
  kClockCacheBuild,     // the cache file's block on leaving the folder
  kClockCacheWrite,     // writing it
  kClockStages
};

extern bool g_stageClockOn;
extern double g_stageSeconds[kClockStages];
extern const char* const kClockStageNames[kClockStages];

void ResetStageClock();

class StageClock {
 public:
  explicit StageClock(ClockStage stage) : stage_(stage) {
    if (g_stageClockOn) QueryPerformanceCounter(&start_);
  }
  ~StageClock() { Stop(); }
  void Stop();
  StageClock(const StageClock&) = delete;
  StageClock& operator=(const StageClock&) = delete;

 private:
  ClockStage stage_;
  LARGE_INTEGER start_{};
};
