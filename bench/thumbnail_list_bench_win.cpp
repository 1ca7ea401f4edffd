// Opens a folder of pictures in the real main window and times the list thread from the open to
// the moment every row shows its pictures and to the end of its pass (every entry's thumbnail
// made): first without the folder's thumbnail cache
// file, then with the cache file written when the folder was left. The median of the given runs,
// with the time of each step of the list load, the pass and the leaving of the folder.
// Usage: thumbnail_list_bench_win.exe <folder of pictures> [runs]
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/image_pipeline.h"
#include "core/settings.h"
#include "core/stage_clock.h"
#include "app/startup.h"
#include "core/thumbnail_list_thread.h"
#include "support/program_services.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER g_built;  // when the worker had filled the list's rows
LARGE_INTEGER g_shown;  // when every row showed its pictures

LARGE_INTEGER g_viewerServed;  // when the current row had what the viewer needs (mixed folder)
bool g_askAsTheViewer = false;

// Answers the worker's messages to the list until its pass is over; false after a minute. Asked
// to, it also asks for the current row as the viewer's prefetch thread does, and notes when the row
// has its level 0 (a RAW picture is developed only then).
bool PumpUntilPassComplete() {
  DWORD start = GetTickCount();
  g_built.QuadPart = g_shown.QuadPart = g_viewerServed.QuadPart = 0;
  while (g_listPassComplete != 1) {
    if (g_listBuilt == 1 && g_built.QuadPart == 0) QueryPerformanceCounter(&g_built);
    if (g_listRowsShown == 1 && g_shown.QuadPart == 0) QueryPerformanceCounter(&g_shown);
    if (g_askAsTheViewer && g_viewerServed.QuadPart == 0 && g_listBuilt == 1 && g_cursorRow >= 0) {
      PrepareEntryForView(g_cursorRow, 1);
      const ImageEntry* e = EntryAtRow(g_cursorRow);
      if (e && e->levelImages[kLevelThumbnail] && e->histogramPicture) QueryPerformanceCounter(&g_viewerServed);
    }
    if (GetTickCount() - start > 60000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

// The folder's cache files, counted and (with remove) deleted.
int SweepCacheFiles(bool remove) {
  wchar_t folder[kPathChars];
  if (!GetCacheFolder(folder)) return 0;
  std::wstring dir(folder);
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*.cac").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    ++n;
    if (remove) DeleteFileW((dir + fd.cFileName).c_str());
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return n;
}

bool Open(const std::wstring& folder) {
  wcsncpy(g_currentFolder, folder.c_str(), kPathChars - 1);
  g_listPassComplete = 0;
  LoadListContents(1, 0, 0);
  return PumpUntilPassComplete();
}

struct Run {
  double listed = 0, built = 0, shown = 0, complete = 0;
  int entries = 0, rendered = 0, fromCache = 0;
  double stages[kClockStages] = {};  // the open, its pass and the leaving of the folder
};

// Opens the folder and times it; the list of the empty folder was shown before.
bool TimedOpen(const std::wstring& folder, Run* run) {
  LARGE_INTEGER f, t0, t1, t2;
  QueryPerformanceFrequency(&f);
  ResetStageClock();
  QueryPerformanceCounter(&t0);
  wcsncpy(g_currentFolder, folder.c_str(), kPathChars - 1);
  g_listPassComplete = 0;
  g_listBuilt = 0;
  LoadListContents(1, 0, 0);
  QueryPerformanceCounter(&t1);
  if (!PumpUntilPassComplete()) return false;
  QueryPerformanceCounter(&t2);
  run->listed = Seconds(t0, t1, f);
  run->complete = Seconds(t0, t2, f);
  run->built = g_built.QuadPart ? Seconds(t0, g_built, f) : run->listed;
  run->shown = g_shown.QuadPart ? Seconds(t0, g_shown, f) : run->complete;
  run->entries = g_entryCount;
  run->rendered = run->fromCache = 0;
  for (int i = 0; i < g_entryCount; ++i) {
    const ImageEntry* e = EntryAt(i);
    if (e->levelImages[kLevelThumbnail]) ++run->rendered;
    if (e->cacheIndex >= 0) ++run->fromCache;
  }
  return true;
}

// Opened and left again; the stages include the leaving (the cache file's build and write).
bool TimedVisit(const std::wstring& folder, const std::wstring& empty, Run* run) {
  if (!TimedOpen(folder, run) || !Open(empty)) return false;
  std::copy(g_stageSeconds, g_stageSeconds + kClockStages, run->stages);
  return true;
}

void PrintStages(const Run& run) {
  double sum = 0;
  for (double v : run.stages) sum += v;
  const int files = std::max(1, run.entries);
  std::printf("  stages (%.3f s timed of %.3f s open to pass complete, plus the leaving):\n", sum, run.complete);
  for (int i = 0; i < kClockStages; ++i)
    if (run.stages[i] > 0)
      std::printf("    %-24s %8.3f s  %8.1f us/file  %5.1f%%\n", kClockStageNames[i], run.stages[i],
                  run.stages[i] * 1e6 / files, sum > 0 ? 100 * run.stages[i] / sum : 0);
}

// The run of median length (sorts the runs).
Run Median(std::vector<Run>& runs) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.complete < b.complete; });
  return runs[runs.size() / 2];
}

void Print(const char* label, const Run& best) {
  const double s = best.complete > 0 ? best.complete : 1e-9;
  std::printf("%s: %d rows, %d thumbnails, %d rows from the cache; listed in %.3f s, rows in the list at %.3f s, "
              "every row shown at %.3f s, pass complete in %.3f s: "
              "%.1f thumbnails/s, %.1f rows/s\n",
              label, best.entries, best.rendered, best.fromCache, best.listed, best.built, best.shown, best.complete,
              best.rendered / s,
              best.entries / s);
}

// Links (or copies) pictures[first, first + count) into the folder under the given name prefix.
int AddPictures(const std::vector<std::wstring>& pictures, int first, int count, const std::wstring& folder,
                const wchar_t* prefix) {
  int made = 0;
  for (int i = first; i < first + count && i < static_cast<int>(pictures.size()); ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"\\%ls%04d.jpg", prefix, i);
    const std::wstring to = folder + name;
    if (CreateHardLinkW(to.c_str(), pictures[static_cast<size_t>(i)].c_str(), nullptr) ||
        CopyFileW(pictures[static_cast<size_t>(i)].c_str(), to.c_str(), FALSE))
      ++made;
  }
  return made;
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*.jpg").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do DeleteFileW((folder + L"\\" + fd.cFileName).c_str());
    while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

// A folder of a tenth cached pictures (first by name, the current row among them) and the rest new:
// when the current row has what the viewer needs, against the pass reading the new files.
void MixedFolder(const std::wstring& source, const std::wstring& mixed, const std::wstring& empty, int runs) {
  std::vector<std::wstring> pictures;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((source + L"\\*.jpg").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do pictures.push_back(source + L"\\" + fd.cFileName);
  while (FindNextFileW(h, &fd));
  FindClose(h);
  const int total = static_cast<int>(pictures.size()), cached = std::max(1, total / 10);
  std::vector<double> served, complete;
  for (int r = 0; r < runs; ++r) {
    SweepCacheFiles(true);
    RemoveFolder(mixed);
    CreateDirectoryW(mixed.c_str(), nullptr);
    // Listed and left: its cache file holds the first pictures.
    if (AddPictures(pictures, 0, cached, mixed, L"A_") != cached || !Open(mixed) || !Open(empty)) return;
    AddPictures(pictures, cached, total - cached, mixed, L"B_");
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    g_askAsTheViewer = true;
    QueryPerformanceCounter(&t0);
    const bool ok = Open(mixed);
    QueryPerformanceCounter(&t1);
    g_askAsTheViewer = false;
    served.push_back(g_viewerServed.QuadPart ? Seconds(t0, g_viewerServed, f) : Seconds(t0, t1, f));
    complete.push_back(Seconds(t0, t1, f));
    if (!ok || !Open(empty)) return;
  }
  RemoveFolder(mixed);
  SweepCacheFiles(true);
  std::sort(served.begin(), served.end());
  std::sort(complete.begin(), complete.end());
  std::printf("mixed folder (%d cached rows first, %d new): the current row's level 0 and histogram picture at %.3f s, "
              "pass complete in %.3f s (medians of %d)\n",
              cached, total - cached, served[served.size() / 2], complete[complete.size() / 2], runs);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    std::fprintf(stderr, "usage: thumbnail_list_bench_win <folder> [runs] [icc]\n");
    return 2;
  }
  const std::wstring pictures = argv[1];
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring program = std::wstring(temp) + L"brn_thumb_bench";
  const std::wstring empty = program + L"\\empty";
  CreateDirectoryW(program.c_str(), nullptr);
  CreateDirectoryW(empty.c_str(), nullptr);

  const ULONG_PTR token = testsupport::StartProgramServices(program);
  if (!g_displayOrder) return 1;  // the global buffers could not be had
  static wchar_t version[] = L"5.16";
  g_programVersion = version;
  g_cacheVersionText = version;
  g_settings.enabledImageTypes |= 0x2;
  if (argc > 3 && wcscmp(argv[3], L"icc") == 0) g_settings.colorMatchSetup.flags &= ~1u;  // CMS_DISABLEICM off
  if (!RegisterMainWindowClass(g_hInstance) || !CreateMainWindow(g_hInstance, SW_SHOW)) return 1;
  KillTimer(g_hwndMain, kIdleTimerId);
  if (!Open(empty)) return 3;
  g_stageClockOn = true;

  std::vector<Run> colds, warms;
  bool ok = true;
  for (int r = 0; r < runs && ok; ++r) {
    SweepCacheFiles(true);
    Run run;
    ok = TimedVisit(pictures, empty, &run);
    if (ok) colds.push_back(run);
  }
  // Leaving the folder after the last cold run wrote its cache file.
  const int cacheFiles = SweepCacheFiles(false);
  for (int r = 0; r < runs && ok; ++r) {
    Run run;
    ok = TimedVisit(pictures, empty, &run);
    if (ok) warms.push_back(run);
  }
  if (!ok) {
    std::fprintf(stderr, "the list thread did not finish its pass within a minute\n");
    return 3;
  }
  const Run cold = Median(colds), warm = Median(warms);
  std::printf("runs: %d (median shown; cold %.3f..%.3f s, warm %.3f..%.3f s)\n", runs, colds.front().complete,
              colds.back().complete, warms.front().complete, warms.back().complete);
  Print("cold (no cache file)", cold);
  PrintStages(cold);
  std::printf("cache files after leaving the folder: %d\n", cacheFiles);
  Print("warm (cache file)", warm);
  PrintStages(warm);
  // One line for scripts: milliseconds of the two passes.
  std::printf("result: cold_ms=%.0f warm_ms=%.0f warm_shown_ms=%.0f files=%d\n", cold.complete * 1000,
              warm.complete * 1000, warm.shown * 1000, cold.entries);
  std::fflush(stdout);
  MixedFolder(pictures, program + L"\\mixed", empty, runs);

  SendMessageW(g_hwndMain, WM_CLOSE, 0, 0);
  FreeImageEntries();
  SweepCacheFiles(true);
  Gdiplus::GdiplusShutdown(token);
  return warm.fromCache > 0 ? 0 : 4;
}
