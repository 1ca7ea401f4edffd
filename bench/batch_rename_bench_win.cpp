// Renames a folder of 1,000 files as one batch (two moves per file and a history line each)
// and prints the time per file and the share of it that the 1 ms pause after each file takes.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "actions/batch_rename.h"
#include "browser/rebar_bands.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"

namespace {

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

int main() {
  const int kFiles = 1000, kRuns = 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  if (!AllocGlobalBuffers()) return 1;
  ResetImageEntryArrays();
  SetDefaultSettings();
  static wchar_t version[] = L"5.16";
  g_programVersion = version;
  g_cacheVersionText = version;
  g_settings.enabledImageTypes |= 0x2;

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring data = std::wstring(temp) + L"brn_rename_bench_data", folder = std::wstring(temp) + L"brn_rename_bench";
  RemoveFolder(folder);
  CreateDirectoryW(data.c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  wcsncpy(reinterpret_cast<wchar_t*>(g_settings.dataFolder), data.c_str(), kPathChars - 1);
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls\\DSC%05d.jpg", folder.c_str(), i);
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "bench", 5, &written, nullptr);
    CloseHandle(file);
  }
  // The history drop-down the lines go into.
  HWND history = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  g_bandControls[kBandActionHistory] = history;

  wcscpy(g_currentFolder, folder.c_str());
  g_skipFolderCache = 1;
  LoadListContents(1, 0, 0);
  StopThumbnailListThread();
  if (g_entryCount != kFiles) {
    std::printf("listed %d files, not %d\n", g_entryCount, kFiles);
    return 1;
  }
  // The rows the file-list pane would show.
  g_listCount = g_entryCount;
  for (int i = 0; i < g_entryCount; ++i) g_displayOrder[i] = static_cast<uint16_t>(i);

  double total = 0;
  for (int run = 0; run < kRuns; ++run) {
    g_settings.renamePrefixType = 1;
    g_settings.renamePrefixJoiner = 2;
    g_settings.renameNameType = 1;
    const char16_t* prefix = run % 2 ? u"B" : u"A";
    std::memset(g_settings.renamePrefix, 0, sizeof g_settings.renamePrefix);
    g_settings.renamePrefix[0] = prefix[0];
    SelectGlobalRenameSettings();
    const double start = Now();
    const int32_t result = BatchRenameFiles(-1, -1, 0);
    const double seconds = Now() - start;
    total += seconds;
    std::printf("run %d: result %d, %.1f ms, %.3f ms per file\n", run, result, seconds * 1000, seconds * 1000 / kFiles);
  }
  // What the pause alone costs here.
  const double pauseStart = Now();
  for (int i = 0; i < kFiles; ++i) Sleep(1);
  const double pause = Now() - pauseStart;
  const double perRun = total / kRuns;
  std::printf("batch rename of %d files: %.1f ms per run, %.3f ms per file\n", kFiles, perRun * 1000, perRun * 1000 / kFiles);
  std::printf("1 ms pause: %.1f ms per %d files, %.0f%% of the run\n", pause * 1000, kFiles, 100.0 * pause / perRun);

  FreeImageEntries();
  DestroyWindow(history);
  RemoveFolder(folder);
  return 0;
}
