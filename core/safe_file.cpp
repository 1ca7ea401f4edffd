#include "core/safe_file.h"

#include <cwchar>

int g_safeFileFaultStep = 0;

namespace {
constexpr unsigned kTemporaryNameTries = 100;

// A name of our own in the same folder, so the final move stays on one volume. Only a file
// created here is ever written or removed: one of that name may be the user's.
HANDLE CreateTemporary(const wchar_t* path, wchar_t* temp, size_t units) {
  const unsigned pid = static_cast<unsigned>(GetCurrentProcessId() & 0xFFFF);
  for (unsigned attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    if (attempt == 0) swprintf(temp, units, L"%ls.%04x.tmp", path, pid);
    else swprintf(temp, units, L"%ls.%04x-%u.tmp", path, pid, attempt);
    HANDLE h = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteThroughTemporary(const wchar_t* path, const void* data, uint32_t size, DWORD moveFlags) {
  size_t len = wcslen(path);
  if (len == 0 || len + 16 > 32767) return false;
  wchar_t* temp = new wchar_t[len + 16];
  bool ok = false;
  HANDLE h = g_safeFileFaultStep == 1 ? INVALID_HANDLE_VALUE : CreateTemporary(path, temp, len + 16);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    const DWORD want = g_safeFileFaultStep == 2 ? size / 2 : size;
    ok = WriteFile(h, data, want, &written, nullptr) && written == size && g_safeFileFaultStep != 3 &&
         FlushFileBuffers(h);
    CloseHandle(h);
    if (ok && g_safeFileFaultStep != 4)
      ok = MoveFileExW(temp, path, moveFlags) != 0;
    else ok = false;
    if (!ok) DeleteFileW(temp);
  }
  delete[] temp;
  return ok;
}
}  // namespace

bool WriteFileReplacing(const wchar_t* path, const void* data, uint32_t size) {
  return WriteThroughTemporary(path, data, size, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool WriteNewFile(const wchar_t* path, const void* data, uint32_t size) {
  // Without the replace flag the final move itself refuses a file that appeared meanwhile.
  return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES &&
         WriteThroughTemporary(path, data, size, MOVEFILE_WRITE_THROUGH);
}
