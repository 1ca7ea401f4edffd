#include "core/row_workers.h"

#include <process.h>

RowWorkers::RowWorkers(int threads, void (*begin)(), void (*end)()) : begin_(begin), end_(end) {
  InitializeCriticalSection(&lock_);
  InitializeConditionVariable(&jobReady_);
  InitializeConditionVariable(&slotFree_);
  InitializeConditionVariable(&allDone_);
  for (int i = 0; i < threads; ++i) {
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr));
    if (!thread) break;
    threads_.push_back(thread);
  }
}

RowWorkers::~RowWorkers() {
  Drain();
  EnterCriticalSection(&lock_);
  ending_ = true;
  WakeAllConditionVariable(&jobReady_);
  LeaveCriticalSection(&lock_);
  for (HANDLE thread : threads_) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  DeleteCriticalSection(&lock_);
}

void RowWorkers::Run(std::function<void()> job) {
  if (threads_.empty()) {
    job();
    return;
  }
  EnterCriticalSection(&lock_);
  while (jobs_.size() >= threads_.size()) SleepConditionVariableCS(&slotFree_, &lock_, INFINITE);
  jobs_.push_back(std::move(job));
  WakeConditionVariable(&jobReady_);
  LeaveCriticalSection(&lock_);
}

void RowWorkers::Drain() {
  EnterCriticalSection(&lock_);
  while (!jobs_.empty() || running_ > 0) SleepConditionVariableCS(&allDone_, &lock_, INFINITE);
  LeaveCriticalSection(&lock_);
}

unsigned __stdcall RowWorkers::ThreadProc(void* self) {
  static_cast<RowWorkers*>(self)->Work();
  return 0;
}

void RowWorkers::Work() {
  if (begin_) begin_();
  EnterCriticalSection(&lock_);
  for (;;) {
    while (jobs_.empty() && !ending_) SleepConditionVariableCS(&jobReady_, &lock_, INFINITE);
    if (jobs_.empty()) break;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    ++running_;
    WakeConditionVariable(&slotFree_);
    LeaveCriticalSection(&lock_);
    job();
    EnterCriticalSection(&lock_);
    --running_;
    if (jobs_.empty() && running_ == 0) WakeAllConditionVariable(&allDone_);
  }
  LeaveCriticalSection(&lock_);
  if (end_) end_();
}

int ListRowWorkerCount() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  const int spare = static_cast<int>(info.dwNumberOfProcessors) - 2;
  return spare < 1 ? 0 : spare > 4 ? 4 : spare;
}
