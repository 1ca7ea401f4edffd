#include "support/program_services.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <cwchar>

#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "app/startup.h"

namespace testsupport {
ULONG_PTR StartProgramServices(const std::wstring& programFolder) {
  g_hInstance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, 0x16FF};
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  AllocGlobalBuffers();
  // The viewer's worker threads share the entries with the list thread: the image semaphores
  // serialise them as in the program (unnamed here, apart from a running program's).
  for (HANDLE& h : g_semaphores)
    if (!h) h = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  LoadAppStrings(g_hInstance);
  wcsncpy(g_programFolder, programFolder.c_str(), kPathChars - 1);
  SetDefaultSettings();
  NormaliseAndMigrateSettings();
  return token;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Tick(int count) {
  for (int i = 0; i < count; ++i) {
    if (!GetFocus()) SetFocus(g_hwndMain);
    OnIdleTimer(g_hwndMain);
    Pump();
  }
}
bool OpenTestMainWindow() {
  if (!RegisterMainWindowClass(g_hInstance) || !CreateMainWindow(g_hInstance, SW_SHOW)) return false;
  KillTimer(g_hwndMain, kIdleTimerId);
  Pump();
  return true;
}

void CloseTestMainWindow() {
  if (g_hwndMain) SendMessageW(g_hwndMain, WM_CLOSE, 0, 0);
  Pump();
  FreeImageEntries();
}

}  // namespace testsupport
