#pragma once
// Holds one of the program's named semaphores (created at start-up) for a scope. It waits
// without pumping messages: for worker threads, not for the user-interface thread.
#include <windows.h>

namespace brn {

class NamedSemaphoreLock {
 public:
  explicit NamedSemaphoreLock(const wchar_t* name);
  ~NamedSemaphoreLock();
  NamedSemaphoreLock(const NamedSemaphoreLock&) = delete;
  NamedSemaphoreLock& operator=(const NamedSemaphoreLock&) = delete;
  // False when no semaphore of that name exists or the wait failed.
  bool held() const { return held_; }

 private:
  HANDLE handle_ = nullptr;
  bool held_ = false;
};

}  // namespace brn
