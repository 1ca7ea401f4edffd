// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cwchar>

#include "core/settings.h"

void BuildMenuBar(HINSTANCE) {}
void DestroyMenus() {}
void CreateTooltipWindow(HINSTANCE) {}
void DestroyTooltipWindow() {}
void LoadCollections() {}
void SaveCollections() {}
uint8_t CheckForNewVersion() { return 0; }
void RebuildActionKeyTable() {}
void BuildViewFocusPointTables() {}
void ResetFolderWatchEvent() {}
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath) {
  if (!fileSystemPath[0]) return false;
  wcsncpy(displayPath, fileSystemPath, 259);
  displayPath[259] = 0;
  return true;
}
void ResetImageEntryArrays() {}
void ResetHistogramCache() {}
void ResetColorSettings() { ResetColorSlots(g_settings); }
