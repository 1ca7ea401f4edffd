#include "support/entry_lists.h"

#include <cstring>
#include <cwchar>

#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"

namespace testsupport {

bool PrepareEntryLists() {
  if (!AllocGlobalBuffers()) return false;
  ResetImageEntryArrays();
  static wchar_t version[] = L"5.16";
  g_programVersion = version;
  g_cacheVersionText = version;
  return true;
}

void UseDataFolder(const std::wstring& folder) {
  wcsncpy(reinterpret_cast<wchar_t*>(g_settings.dataFolder), folder.c_str(), kPathChars - 1);
}

void ForgetLoadedList() {
  FreeImageEntries();
  ReleaseFolderCache();
  g_loadedFolderPath[0] = 0;
}

ImageEntry* NewFileEntry(const std::wstring& path, uint32_t type, int modelRow) {
  auto* e = new ImageEntry();
  std::memset(e, 0, sizeof *e);
  wcsncpy(reinterpret_cast<wchar_t*>(e->path), path.c_str(), kEntryPathChars - 1);
  SetEntryNamePointer(e);
  e->cacheIndex = -1;
  e->presence = kEntryPresent;
  e->info.fileTypeFlag = type;
  e->info.modelRow = static_cast<int16_t>(modelRow >= 0 ? modelRow : g_cameraModelIndex[kUnknownModelCode]);
  return e;
}

void DeleteFileEntry(ImageEntry* entry) {
  for (int k = kLevelFull; k >= kLevelThumbnail; --k) ReleaseEntryLevel(entry, k, 0);
  delete entry;
}

bool BuildThumbnailLocked(ImageEntry* entry) {
  SemaphoreLock lock(kSemaImage);
  return BuildThumbnailUnderLock(entry);
}

}  // namespace testsupport
