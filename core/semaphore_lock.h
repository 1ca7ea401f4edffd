// Holds one of the program's seven semaphores for a scope. The handles come from start-up;
// a process without them (a tool, a test that does not need them) runs unlocked. It waits
// without pumping messages: for worker threads, not for the user-interface thread.
#pragma once
#include <windows.h>

#include "core/app_globals.h"

class SemaphoreLock {
 public:
  explicit SemaphoreLock(SemaphoreId id) : handle_(g_semaphores[id]) {
    if (handle_ && WaitForSingleObject(handle_, INFINITE) != WAIT_OBJECT_0) handle_ = nullptr;
  }
  ~SemaphoreLock() {
    if (handle_) ReleaseSemaphore(handle_, 1, nullptr);
  }
  SemaphoreLock(const SemaphoreLock&) = delete;
  SemaphoreLock& operator=(const SemaphoreLock&) = delete;
  bool held() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};
