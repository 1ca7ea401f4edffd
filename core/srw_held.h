// An SRW lock held exclusively for a scope.
#pragma once
#include <windows.h>

class SrwHeld {
 public:
  explicit SrwHeld(SRWLOCK* lock) : lock_(lock) { AcquireSRWLockExclusive(lock_); }
  ~SrwHeld() { ReleaseSRWLockExclusive(lock_); }
  SrwHeld(const SrwHeld&) = delete;
  SrwHeld& operator=(const SrwHeld&) = delete;

 private:
  SRWLOCK* lock_;
};
