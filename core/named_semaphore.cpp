#include "core/named_semaphore.h"

namespace brn {

NamedSemaphoreLock::NamedSemaphoreLock(const wchar_t* name) {
  handle_ = OpenSemaphoreW(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, name);
  if (handle_) held_ = WaitForSingleObject(handle_, INFINITE) == WAIT_OBJECT_0;
}

NamedSemaphoreLock::~NamedSemaphoreLock() {
  if (held_) ReleaseSemaphore(handle_, 1, nullptr);
  if (handle_) CloseHandle(handle_);
}

}  // namespace brn
