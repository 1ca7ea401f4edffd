// Times the search over a folder tree in the real main window: StartSearch with an F-number
// criterion ("指定のF値のみ"), from the start to the thread's end, and the matches it kept.
// Usage: search_bench_win.exe <folder> [F-number]
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "browser/collections.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/pure/search_rules.h"
#include "browser/search_dialog.h"
#include "browser/search_thread.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "app/startup.h"
#include "metadata/pure/image_info.h"
#include "support/program_services.h"

namespace {

HHOOK g_hook = nullptr;

// The question above 1,000 matches is answered Yes, as a user keeping the results would.
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (wcscmp(cls, L"#32770") == 0 && !g_windowSlots[kSlotSearchProgress]) {
      if (GetDlgItem(box, IDYES)) PostMessageW(box, WM_COMMAND, IDYES, 0);
      else PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void PumpWhile(bool (*busy)()) {
  while (busy()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    fprintf(stderr, "usage: search_bench_win.exe <folder> [F-number]\n");
    return 2;
  }
  wchar_t program[MAX_PATH];
  GetTempPathW(MAX_PATH, program);
  wcscat(program, L"brn_search_bench");
  CreateDirectoryW(program, nullptr);
  ULONG_PTR token = testsupport::StartProgramServices(program);
  g_semaphores[kSemaInterp] = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  LoadCollections();
  if (!RegisterMainWindowClass(g_hInstance) || !CreateMainWindow(g_hInstance, SW_SHOW)) return 1;
  KillTimer(g_hwndMain, kIdleTimerId);
  BuildMenuBar(g_hInstance);
  testsupport::Pump();
  g_hook = SetWindowsHookExW(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());

  memset(g_settings.searchConditions, 0, sizeof g_settings.searchConditions);
  g_settings.fileNameSearchFlag = g_settings.commentSearchFlag = 0;
  memset(g_settings.iptcSearchWords, 0, sizeof g_settings.iptcSearchWords);
  g_settings.searchMode = 0;
  g_settings.searchSubfolders = 1;
  memset(g_settings.searchFolder, 0, sizeof g_settings.searchFolder);
  wcsncpy(reinterpret_cast<wchar_t*>(g_settings.searchFolder), argv[1], kPathChars - 1);
  SearchConditionsOf().fNumberKind = 1;
  PushSearchHistory(g_settings.searchApertureFrom, reinterpret_cast<const char16_t*>(argc > 2 ? argv[2] : L"8"));
  g_settings.searchApertureFrom.number = ParseFNumberText(g_settings.searchApertureFrom.rows[0]);

  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  StartSearch();
  PumpWhile([] { return g_searchThread != nullptr && g_searchState != 3; });
  QueryPerformanceCounter(&b);
  const double seconds = static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
  const int processed = g_searchProcessed, found = g_searchFound;
  PumpWhile([] { return g_windowSlots[kSlotSearchProgress] != nullptr || g_searchThread != nullptr; });
  printf("search (Wine, F-number = %ls): %d files in %.2f s = %.0f files/s, %d found\n", argc > 2 ? argv[2] : L"8",
         processed, seconds, processed / seconds, found);
  UnhookWindowsHookEx(g_hook);
  SendMessageW(g_hwndMain, WM_CLOSE, 0, 0);
  testsupport::Pump();
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
