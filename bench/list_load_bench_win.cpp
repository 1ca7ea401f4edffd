// Loads a generated folder of 10,000 picture files into the entry list, first without and then
// with the records of a thumbnail cache, and prints the times.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "core/standins.h"

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

}  // namespace

int main() {
  const int kFiles = 10000;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"brn_list_bench";
  RemoveFolder(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!AllocGlobalBuffers()) return 1;
  SetDefaultSettings();
  g_settings.enabledImageTypes |= 0x2;
  ResetImageEntryArrays();

  LARGE_INTEGER f, t0, t1, t2, t3;
  QueryPerformanceFrequency(&f);
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
  wcscpy(g_currentFolder, folder.c_str());
  LoadListContents(1, 0, 0);
  QueryPerformanceCounter(&t2);
  int listed = g_entryCount;

  // The same folder again, every file found among the records of its cache.
  std::vector<uint8_t> block(static_cast<size_t>(listed) * kEntryImageSize);
  std::vector<uint32_t> undo(listed, 0);
  for (int i = 0; i < listed; ++i) EncodeEntryImage(*EntryAt(i), block.data() + static_cast<size_t>(i) * kEntryImageSize);
  g_loadedCache = {block.data(), static_cast<uint32_t>(block.size()), listed, undo.data(), block.data()};
  QueryPerformanceCounter(&t3);
  LoadListContents(1, 0, 0);
  LARGE_INTEGER t4;
  QueryPerformanceCounter(&t4);
  int reused = 0;
  for (int i = 0; i < g_entryCount; ++i) reused += EntryAt(i)->cacheIndex >= 0 ? 1 : 0;

  std::printf("files created: %d in %.3f s\n", kFiles, Seconds(t0, t1, f));
  std::printf("folder load (no cache): %d entries in %.3f s\n", listed, Seconds(t1, t2, f));
  std::printf("folder load (cache records): %d entries, %d reused, in %.3f s\n", g_entryCount, reused,
              Seconds(t3, t4, f));
  g_loadedCache = {};
  FreeImageEntries();
  RemoveFolder(folder);
  return listed == kFiles && reused == kFiles ? 0 : 3;
}
