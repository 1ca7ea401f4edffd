// The start-up a test process goes through before it builds the program's windows, and the
// idle ticks that drive them.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {
// Common controls, OLE, GDI+, the global buffers, the strings and default settings, with the
// program folder at programFolder. Returns the GDI+ token for GdiplusShutdown.
ULONG_PTR StartProgramServices(const std::wstring& programFolder);
// The program's main window, created as the program does but with its idle timer stopped: the
// tests tick by hand. Close ends it and frees the entries its list held.
bool OpenTestMainWindow();
void CloseTestMainWindow();
// Dispatches every message waiting for this thread.
void Pump();
// Idle ticks of the main window by hand, each followed by what it posted. The focus stays inside
// the program, as it does while a user works in it.
void Tick(int count = 1);
}  // namespace testsupport
