#include "core/safe_file.h"

#include <cwchar>

int g_safeFileFaultStep = 0;

namespace {
thread_local DWORD t_lastWriteError = 0;

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

// Writes and flushes; the first step that fails gives the reason (0 when both went).
DWORD WriteAndFlush(HANDLE h, const void* data, uint32_t size) {
  DWORD written = 0;
  const DWORD want = g_safeFileFaultStep == 2 ? size / 2 : size;
  if (!WriteFile(h, data, want, &written, nullptr)) return GetLastError();
  if (written != size) return ERROR_DISK_FULL;  // the disk took only a part
  if (g_safeFileFaultStep == 3) return ERROR_WRITE_FAULT;
  return FlushFileBuffers(h) ? 0 : GetLastError();
}

bool WriteThroughTemporary(const wchar_t* path, const void* data, uint32_t size, DWORD moveFlags) {
  size_t len = wcslen(path);
  if (len == 0 || len + 16 > 32767) {
    t_lastWriteError = ERROR_INVALID_NAME;
    return false;
  }
  wchar_t* temp = new wchar_t[len + 16];
  DWORD error = ERROR_WRITE_FAULT;  // what an injected fault reports
  HANDLE h = g_safeFileFaultStep == 1 ? INVALID_HANDLE_VALUE : CreateTemporary(path, temp, len + 16);
  if (h == INVALID_HANDLE_VALUE) {
    if (g_safeFileFaultStep != 1) error = GetLastError();
  } else {
    error = WriteAndFlush(h, data, size);
    CloseHandle(h);
    if (!error && g_safeFileFaultStep != 4) error = MoveFileExW(temp, path, moveFlags) ? 0 : GetLastError();
    else if (!error) error = ERROR_WRITE_FAULT;
    // Removing the temporary file must not replace the reason.
    if (error) DeleteFileW(temp);
  }
  delete[] temp;
  t_lastWriteError = error;
  SetLastError(error);
  return error == 0;
}
}  // namespace

DWORD LastWriteError() { return t_lastWriteError; }
void SetLastWriteError(DWORD error) { t_lastWriteError = error; }

bool WriteFileReplacing(const wchar_t* path, const void* data, uint32_t size) {
  return WriteThroughTemporary(path, data, size, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool WriteNewFile(const wchar_t* path, const void* data, uint32_t size) {
  // Without the replace flag the final move itself refuses a file that appeared meanwhile.
  if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
    t_lastWriteError = ERROR_FILE_EXISTS;
    return false;
  }
  return WriteThroughTemporary(path, data, size, MOVEFILE_WRITE_THROUGH);
}
