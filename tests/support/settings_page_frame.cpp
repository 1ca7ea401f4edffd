#include "support/settings_page_frame.h"

#include <gdiplus.h>

#include <cstring>

#include "core/app_globals.h"
#include "core/pure/scramble.h"
#include "core/settings.h"
#include "core/window_slots.h"
#include "settings_dialog/settings_dialog.h"
#include "support/program_services.h"

namespace testsupport {

size_t RunSettingsDialog(int page, std::vector<ModalStep> steps, UINT tickMs) {
  return RunModalSteps([] { return g_windowSlots[kSlotSettingsDialog]; }, std::move(steps), tickMs,
                       [page] { OpenSettingsDialog(nullptr, page); });
}

void RunSettingsSteps(int page, std::vector<std::function<void()>> steps) {
  RunSettingsDialog(page, EachOnce(std::move(steps)), 60);
}

HWND SettingsDialog() { return g_windowSlots[kSlotSettingsDialog]; }
HWND SettingsPage(int slot) { return g_windowSlots[slot]; }
void CloseSettingsDialog() { SendMessageW(SettingsDialog(), WM_CLOSE, 0, 0); }
void ClickButton(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }

void SettingsPageFrame::SetUp() {
  token_ = StartProgramServices(dir_.path());
  SetDefaultSettings();
  BuildSettingsFilePath(settingsPath_, MAX_PATH + 32);
  DeleteFileW(settingsPath_);
}

void SettingsPageFrame::TearDown() { Gdiplus::GdiplusShutdown(token_); }

void SettingsPageFrame::Reload() {
  std::vector<uint8_t> block;
  ASSERT_TRUE(ReadWholeFile(settingsPath_, &block));
  ASSERT_EQ(block.size(), sizeof(SettingsBlock));
  ScrambleBuffer(block.data(), block.size());
  std::memcpy(&g_settings, block.data(), block.size());
}

}  // namespace testsupport
