#include "support/program_window_suite.h"

#include <gdiplus.h>

#include <cwchar>

#include "app/list_load.h"
#include "core/image_entry_list.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_slots.h"

namespace testsupport {

void ProgramWindowSuite::OpenProgram(const std::function<void()>& adjust) {
  dir_ = new ScratchDir;
  token_ = StartProgramServices(dir_->path());
  adjust();
  ASSERT_TRUE(OpenTestMainWindow());
  photos_ = new ScratchDir;
}

void ProgramWindowSuite::CloseProgram() {
  if (g_windowSlots[kSlotFileInfo]) SendMessageW(g_windowSlots[kSlotFileInfo], WM_CLOSE, 0, 0);
  CloseTestMainWindow();
  delete photos_;
  photos_ = nullptr;
  Gdiplus::GdiplusShutdown(token_);
  delete dir_;
  dir_ = nullptr;
}

void ProgramWindowSuite::LoadFolder(const std::wstring& folder) {
  wcscpy(g_currentFolder, folder.c_str());
  LoadListContents(1, 0, 0);
  ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1; }, 20000));
  Pump();
}

}  // namespace testsupport
