// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cwchar>

#include "core/file_system.h"
#include "core/file_types.h"
#include "core/key_state.h"
#include "core/os_class.h"
#include "core/settings.h"
#include "core/text_replace.h"

int GetOsClass() { return 10; }

uint64_t GetFreeDiskSpace(const wchar_t* path) {
  wchar_t root[4] = {};
  wcsncpy(root, path, 3);
  ULARGE_INTEGER avail;
  return GetDiskFreeSpaceExW(root, &avail, nullptr, nullptr) ? avail.QuadPart : 0;
}

bool ReplaceAllInPath(wchar_t* path, const wchar_t* oldText, const wchar_t* newText) {
  size_t oldLen = wcslen(oldText), newLen = wcslen(newText);
  if (oldLen == 0) return false;
  wchar_t out[260];
  size_t o = 0;
  bool any = false;
  for (const wchar_t* p = path; *p;) {
    if (wcsncmp(p, oldText, oldLen) == 0) {
      if (o + newLen >= 260) return false;
      wmemcpy(out + o, newText, newLen);
      o += newLen;
      p += oldLen;
      any = true;
    } else {
      if (o + 1 >= 260) return false;
      out[o++] = *p++;
    }
  }
  out[o] = 0;
  wcscpy(path, out);
  return any;
}

void ParseUserExtensions() {}
uint32_t GetFileTypeFlag(const wchar_t*) { return 0; }
void ResetKeyStates() {}

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
void TrackFileDrag(HWND, int, int) {}
int FinishFileDrag(HWND) { return 0; }
void OpenDragPopups(HWND) {}
