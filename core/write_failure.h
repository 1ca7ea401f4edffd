// Telling the user, when it happens, that a file could not be written: which file, and why.
#pragma once
#include <windows.h>
#include <string>

// One line saying why, for the system error code of a failed write (LastWriteError).
std::wstring WriteFailureReason(DWORD error);
// The lead line(s), the file (without a "\\?\" prefix) and, with an error code, the reason.
std::wstring WriteFailureText(const wchar_t* lead, const wchar_t* path, DWORD error);
// That text in the program's error box.
void ReportWriteFailure(const wchar_t* lead, const wchar_t* path, DWORD error);
