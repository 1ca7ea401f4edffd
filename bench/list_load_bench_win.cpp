// Loads a folder of 10,000 picture files into the entry list, first without and then with the
// records of a thumbnail cache, and prints the times (median of the runs) and their steps.
// Usage: list_load_bench_win.exe [folder [runs]]: without a folder one is made in the temp folder
// (slow under Wine: bench/list_load_bench.sh makes it natively).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/stage_clock.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + fd.cFileName).c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

struct Run {
  double seconds = 0;
  double stages[kClockStages] = {};
};

Run Median(std::vector<Run>& runs) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  return runs[runs.size() / 2];
}

// The directory listing alone, as the load makes it (names only, in large batches): Wine's part
// of the walk. The best of the runs, in seconds.
double BareListing(const std::wstring& folder, int runs) {
  double best = 0;
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  for (int r = 0; r < runs; ++r) {
    QueryPerformanceCounter(&t0);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + L"\\*.*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    int n = 0;
    if (h != INVALID_HANDLE_VALUE) {
      do ++n;
      while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    QueryPerformanceCounter(&t1);
    const double s = Seconds(t0, t1, f);
    if (r == 0 || s < best) best = s;
    if (n == 0) return 0;
  }
  return best;
}

void PrintStages(const Run& run, int files) {
  for (int i = 0; i < kClockStages; ++i)
    if (run.stages[i] > 0)
      std::printf("    %-24s %8.4f s  %6.2f us/file\n", kClockStageNames[i], run.stages[i], run.stages[i] * 1e6 / files);
}

}  // namespace

int main() {
  const int kFiles = 10000;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool given = argv && argc > 1;
  const int runs = argv && argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = given ? std::wstring(argv[1]) : std::wstring(temp) + L"brn_list_bench";
  if (!AllocGlobalBuffers()) return 1;
  SetDefaultSettings();
  g_settings.enabledImageTypes |= 0x2;
  ResetImageEntryArrays();

  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  if (!given) {
    RemoveFolder(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < kFiles; ++i) {
      wchar_t name[64];
      swprintf(name, 64, L"\\IMG_%05d.JPG", i);
      HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (h == INVALID_HANDLE_VALUE) return 2;
      DWORD written;
      WriteFile(h, name, 16, &written, nullptr);
      CloseHandle(h);
    }
    QueryPerformanceCounter(&t1);
    std::printf("files created: %d in %.3f s\n", kFiles, Seconds(t0, t1, f));
  }
  wcscpy(g_currentFolder, folder.c_str());

  g_stageClockOn = true;
  std::vector<Run> colds, warms;
  int listed = 0, reused = 0;
  std::vector<uint8_t> block;
  std::vector<uint32_t> undo;
  for (int r = 0; r < runs; ++r) {
    FreeImageEntries();
    ResetStageClock();
    QueryPerformanceCounter(&t0);
    LoadListContents(1, 0, 0);
    QueryPerformanceCounter(&t1);
    Run run;
    run.seconds = Seconds(t0, t1, f);
    std::copy(g_stageSeconds, g_stageSeconds + kClockStages, run.stages);
    colds.push_back(run);
    listed = g_entryCount;
  }
  // The same folder again, every file found among the records of its cache: the loader itself,
  // as the full load reads the cache file (which this window-less run never wrote).
  block.resize(static_cast<size_t>(listed) * kEntryImageSize);
  undo.assign(listed, 0);
  for (int i = 0; i < listed; ++i) EncodeEntryImage(*EntryAt(i), block.data() + static_cast<size_t>(i) * kEntryImageSize);
  for (int r = 0; r < runs; ++r) {
    FreeImageEntries();
    g_loadedCache = {block.data(), static_cast<uint32_t>(block.size()), listed, undo.data(), block.data()};
    ResetStageClock();
    QueryPerformanceCounter(&t0);
    LoadFolderEntries(g_currentFolder);
    QueryPerformanceCounter(&t1);
    Run run;
    run.seconds = Seconds(t0, t1, f);
    std::copy(g_stageSeconds, g_stageSeconds + kClockStages, run.stages);
    warms.push_back(run);
    reused = 0;
    for (int i = 0; i < g_entryCount; ++i) reused += EntryAt(i)->cacheIndex >= 0 ? 1 : 0;
  }

  const Run cold = Median(colds), warm = Median(warms);
  const int files = std::max(1, listed);
  std::printf("folder load (no cache): %d entries in %.3f s (median of %d; %.3f..%.3f s)\n", listed, cold.seconds, runs,
              colds.front().seconds, colds.back().seconds);
  PrintStages(cold, files);
  std::printf("folder load (cache records): %d entries, %d reused, in %.3f s (median; %.3f..%.3f s)\n", g_entryCount,
              reused, warm.seconds, warms.front().seconds, warms.back().seconds);
  PrintStages(warm, files);
  std::printf("the directory listing alone (FindFirstFileExW/FindNextFileW under Wine): %.3f s (best of %d)\n",
              BareListing(g_currentFolder, runs), runs);
  std::printf("result: cold_ms=%.1f warm_ms=%.1f files=%d\n", cold.seconds * 1000, warm.seconds * 1000, listed);
  g_loadedCache = {};
  FreeImageEntries();
  if (!given) RemoveFolder(folder);
  return listed == kFiles && reused == kFiles ? 0 : 3;
}
