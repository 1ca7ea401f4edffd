// Reads the thumbnail cache file of a 1,000-row folder (records, one undo record per tenth row,
// pixels of every row) many times and prints the time per load.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/pure/folder_cache_format.h"
#include "core/settings.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main() {
  const uint32_t kRows = 1000, kLoads = 50;
  if (!AllocGlobalBuffers()) return 1;
  SetDefaultSettings();
  static wchar_t version[] = L"5.16";
  g_programVersion = version;
  g_cacheVersionText = version;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring data = std::wstring(temp) + L"brn_cache_bench";
  CreateDirectoryW(data.c_str(), nullptr);
  wcsncpy(reinterpret_cast<wchar_t*>(g_settings.dataFolder), data.c_str(), kPathChars - 1);
  wcscpy(g_currentFolder, L"C:\\bench\\pictures");

  CacheLayout layout;
  ComputeCacheLayout(kRows, kRows / 10, &layout);
  std::vector<uint8_t> block(static_cast<size_t>(layout.totalSize));
  CacheBlockWriter writer(block.data(), layout, kRows);
  writer.SetHeader(u"5.16", u"C:\\bench\\pictures", 0);
  std::vector<uint8_t> pixels(kCachePixelBlockSize, 0x55);
  UndoRecord undo{};
  undo.kind = 3;
  for (uint32_t r = 0; r < kRows; ++r) {
    ImageEntry e{};
    swprintf(reinterpret_cast<wchar_t*>(e.path), kEntryPathChars, L"C:\\bench\\pictures\\IMG_%04u.JPG", r);
    SetEntryNamePointer(&e);
    e.info.fileTypeFlag = 0x2;
    e.undoCount = r % 10 == 0 ? 1 : 0;
    uint8_t image[kEntryImageSize];
    EncodeEntryImage(e, image);
    writer.AddRow(image, e.undoCount ? reinterpret_cast<const uint8_t*>(&undo) : nullptr, e.undoCount, pixels.data());
  }
  wchar_t cacheFolder[kPathChars], name[1024];
  GetCacheFolder(cacheFolder);
  CreateDirectoryW(cacheFolder, nullptr);
  BuildCacheFileName(reinterpret_cast<const char16_t*>(cacheFolder), reinterpret_cast<const char16_t*>(g_currentFolder),
                     false, reinterpret_cast<char16_t*>(name), 1024);
  HANDLE f = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  CloseHandle(f);

  LARGE_INTEGER freq, a, b;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&a);
  int accepted = 0;
  for (uint32_t i = 0; i < kLoads; ++i) accepted += LoadFolderCache() ? 1 : 0;
  QueryPerformanceCounter(&b);
  std::printf("cache file of %u rows, %zu bytes: %d/%u loads accepted, %.3f ms per load (read + validate)\n", kRows,
              block.size(), accepted, kLoads, 1000.0 * Seconds(a, b, freq) / kLoads);
  ReleaseFolderCache();
  DeleteFileW(name);
  RemoveDirectoryW(cacheFolder);
  RemoveDirectoryW(data.c_str());
  return accepted == static_cast<int>(kLoads) ? 0 : 1;
}
