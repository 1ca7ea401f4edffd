#include "support/program_window_suite.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <cwchar>

#include "app/list_load.h"
#include "browser/rebar_bands.h"
#include "core/image_entry_list.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_slots.h"

namespace testsupport {

void MainWindowSuite::OpenMainWindow(const std::function<void()>& adjust) {
  dir_ = new ScratchDir;
  token_ = StartProgramServices(dir_->path());
  if (adjust) adjust();
  ASSERT_TRUE(OpenTestMainWindow()) << "error " << GetLastError();
}

void MainWindowSuite::CloseMainWindow() {
  if (g_windowSlots[kSlotFileInfo]) SendMessageW(g_windowSlots[kSlotFileInfo], WM_CLOSE, 0, 0);
  CloseTestMainWindow();
  ReleaseRowCanvases();  // GDI+ bitmaps of the rows this thread drew: freed before GDI+ ends
  Gdiplus::GdiplusShutdown(token_);
  delete dir_;
  dir_ = nullptr;
}

void ProgramWindowSuite::OpenProgram(const std::function<void()>& adjust) {
  ASSERT_NO_FATAL_FAILURE(OpenMainWindow(adjust));
  photos_ = new ScratchDir;
}

void ProgramWindowSuite::CloseProgram() {
  CloseMainWindow();
  delete photos_;
  photos_ = nullptr;
}

void ProgramWindowSuite::LoadFolder(const std::wstring& folder) {
  wcscpy(g_currentFolder, folder.c_str());
  LoadListContents(1, 0, 0);
  ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1; }, 20000));
  Pump();
}

bool ActionHistoryLine(int line, std::wstring* text, int* image) {
  text->clear();
  HWND combo = g_bandControls[kBandActionHistory];
  if (!combo) return false;
  wchar_t buffer[1024] = {};
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | (image ? CBEIF_IMAGE : 0);
  item.iItem = line;
  item.pszText = buffer;
  item.cchTextMax = 1024;
  if (!SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
  *text = buffer;
  if (image) *image = item.iImage;
  return true;
}

}  // namespace testsupport
