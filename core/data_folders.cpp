#include "core/data_folders.h"

#include "core/app_globals.h"
#include "core/path_utils.h"
#include "core/pure/data_folder.h"
#include "core/settings.h"

namespace {

bool BuildFolder(const char16_t* leaf, wchar_t* out) {
  // The setting may lack its terminator in a damaged file.
  char16_t setting[kPathUnits];
  for (size_t i = 0; i < kPathUnits; ++i) setting[i] = g_settings.dataFolder[i];
  setting[kPathUnits - 1] = 0;
  return BuildDataFolderPath(U16(g_programFolder), setting, leaf, U16(out), kPathUnits);
}

}  // namespace

bool GetMailFolder(wchar_t* out) { return BuildFolder(u"mail", out); }
bool GetCacheFolder(wchar_t* out) { return BuildFolder(u"cache", out); }
bool GetCollectionFolder(wchar_t* out) { return BuildFolder(u"collection", out); }
bool GetCaptureFolder(wchar_t* out) { return BuildFolder(u"capture", out); }
