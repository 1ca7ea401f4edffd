// Replaces a user file without ever leaving it half written.
#pragma once
#include <windows.h>
#include <cstdint>

// Writes the bytes to a temporary file in the same folder (created under a name nothing has
// yet), checks every byte, flushes, then moves it over the target. On any failure the target is untouched, the temporary file is
// removed and false is returned.
bool WriteFileReplacing(const wchar_t* path, const void* data, uint32_t size);
// The same for a file that must not exist yet: false, and nothing touched, when something
// already has the name.
bool WriteNewFile(const wchar_t* path, const void* data, uint32_t size);

// Why the last failed write of this thread failed: the system's error code (a write the disk
// took only in part counts as ERROR_DISK_FULL), 0 after a write that succeeded. Writers that can
// fail before they reach the disk clear it first, so that a stale reason is never shown.
DWORD LastWriteError();
void SetLastWriteError(DWORD error);

// Fault injection for the writers' tests: a non-zero value makes that step of the next
// replacements fail (1 create the temporary file, 2 write (half the bytes land), 3 flush, 4 move).
extern int g_safeFileFaultStep;
