// The start-up a test process goes through before it builds the program's windows.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {
// Common controls, OLE, GDI+, the global buffers, the strings and default settings, with the
// program folder at programFolder. Returns the GDI+ token for GdiplusShutdown.
ULONG_PTR StartProgramServices(const std::wstring& programFolder);
}  // namespace testsupport
