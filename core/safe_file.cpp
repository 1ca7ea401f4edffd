#include "core/safe_file.h"

#include <cwchar>

bool WriteFileReplacing(const wchar_t* path, const void* data, uint32_t size) {
  size_t len = wcslen(path);
  if (len == 0 || len + 16 > 32767) return false;
  wchar_t* temp = new wchar_t[len + 16];
  // A name of our own in the same folder, so the final move stays on one volume.
  swprintf(temp, len + 16, L"%ls.%04x.tmp", path, static_cast<unsigned>(GetCurrentProcessId() & 0xFFFF));
  bool ok = false;
  HANDLE h = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ok = WriteFile(h, data, size, &written, nullptr) && written == size && FlushFileBuffers(h);
    CloseHandle(h);
    if (ok) ok = MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileW(temp);
  }
  delete[] temp;
  return ok;
}
