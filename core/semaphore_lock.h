// Holds one of the program's seven semaphores for a scope. The handles come from start-up;
// a process without them (a tool, a test that does not need them) runs unlocked. While it
// waits it answers messages sent to the waiting thread's windows (and nothing else): a holder
// may be placing a movie's video window inside a pane, which sends to the pane's thread, and
// that thread may be the one waiting here. At shut-down the wait is bounded: a holder that never
// lets go (a worker left inside a call that does not return) no longer holds the process up, and
// the scope runs without the semaphore (gaveUp()).
#pragma once
#include <windows.h>

#include "core/app_globals.h"
#include "core/shut_down.h"

class SemaphoreLock {
 public:
  explicit SemaphoreLock(SemaphoreId id) : handle_(g_semaphores[id]) {
    const DWORD start = GetTickCount();
    while (handle_) {
      // In slices, so that a shut-down that begins during the wait bounds it too.
      DWORD wait = ShutDownWaitLeft(start);
      if (wait == 0) {
        handle_ = nullptr;
        givenUp_ = true;
        return;
      }
      if (wait > 200) wait = 200;
      const DWORD r = MsgWaitForMultipleObjects(1, &handle_, FALSE, wait, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) return;
      if (r == WAIT_TIMEOUT) continue;
      if (r != WAIT_OBJECT_0 + 1) {
        handle_ = nullptr;
        return;
      }
      MSG message;  // peeking delivers the sent messages; posted ones stay queued
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  ~SemaphoreLock() {
    if (handle_) ReleaseSemaphore(handle_, 1, nullptr);
  }
  SemaphoreLock(const SemaphoreLock&) = delete;
  SemaphoreLock& operator=(const SemaphoreLock&) = delete;
  bool held() const { return handle_ != nullptr; }
  bool gaveUp() const { return givenUp_; }

 private:
  HANDLE handle_;
  bool givenUp_ = false;
};
