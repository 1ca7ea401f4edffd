// A few threads that fill rows of the file list side by side for the list thread: a row's
// pictures are decoded and drawn on one processor, and a folder holds thousands of rows.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <vector>

class RowWorkers {
 public:
  // begin and end run on each worker thread as it starts and before it ends (COM, decoders).
  RowWorkers(int threads, void (*begin)(), void (*end)());
  ~RowWorkers();  // drains, then ends the threads
  RowWorkers(const RowWorkers&) = delete;
  RowWorkers& operator=(const RowWorkers&) = delete;

  // Hands the job to a worker, waiting while every worker has one waiting already; without
  // workers (none could be started) the job runs here.
  void Run(std::function<void()> job);
  // Waits until every job handed over has ended.
  void Drain();

 private:
  static unsigned __stdcall ThreadProc(void* self);
  void Work();

  void (*begin_)();
  void (*end_)();
  CRITICAL_SECTION lock_;
  CONDITION_VARIABLE jobReady_, slotFree_, allDone_;
  std::deque<std::function<void()>> jobs_;
  int running_ = 0;
  bool ending_ = false;
  std::vector<HANDLE> threads_;
};

// Workers for the list thread on this machine: one for each processor beyond the first two, at
// most four (the window's thread and the viewer's keep theirs).
int ListRowWorkerCount();
