#include "core/colour_profiles.h"

#include <windows.h>
#include <icm.h>

#include <cwchar>

#include "core/app_globals.h"
#include "core/path_utils.h"

void BuildProfilePath(const wchar_t* name, wchar_t* out) {
  out[0] = 0;
  if (!name) return;
  wchar_t chosen[kPathChars];
  wcsncpy(chosen, name, kPathChars - 1);  // the settings field may lack its terminator
  chosen[kPathChars - 1] = 0;
  if (!chosen[0]) return;
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (GetColorDirectoryW(nullptr, folder, &size) && folder[0]) JoinFolderAndName(folder, chosen, out, kPathChars);
}
