#include "support/entry_lists.h"

#include <cwchar>

#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
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

}  // namespace testsupport
