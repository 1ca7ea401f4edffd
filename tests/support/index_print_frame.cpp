#include "support/index_print_frame.h"

#include <gdiplus.h>

#include <cwchar>

#include "app/list_load.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_slots.h"
#include "support/program_services.h"

namespace testsupport {

void IndexPrintFrame::SetUpTestSuite() {
  static ScratchDir program;
  token_ = StartProgramServices(program.path());
  ResetImageEntryArrays();
}

void IndexPrintFrame::TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

void IndexPrintFrame::SetUp() {
  SetDefaultSettings();
  wcsncpy(reinterpret_cast<wchar_t*>(g_settings.dataFolder), data_.path().c_str(), kPathChars - 1);
  ReleaseFolderCache();
  g_requestedListSource = 0;
  g_requestedCollection = -1;
}

void IndexPrintFrame::TearDown() {
  if (HWND d = g_windowSlots[kSlotIndexPrint]) SendMessageW(d, WM_CLOSE, 0, 0);
  Pump();
  FreeImageEntries();
  ReleaseFolderCache();
  g_loadedFolderPath[0] = 0;
}

void IndexPrintFrame::Load(const std::wstring& folder, bool read) {
  wcscpy(g_currentFolder, folder.c_str());
  g_skipFolderCache = 1;
  LoadListContents(1, 0, 0);
  if (read) WaitFor([] { Pump(); return g_listReadyFlag != 0; }, 20000);
  StopThumbnailListThread();
  g_listCount = g_entryCount;
  for (int i = 0; i < g_entryCount; ++i) g_displayOrder[i] = static_cast<uint16_t>(i);
}

}  // namespace testsupport
