// The frame of the settings dialog's tests: the dialog opened for real in this process on a scratch
// program folder, with default settings and no settings file yet.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/modal_steps.h"
#include "support/win_test_support.h"

namespace testsupport {

// The settings dialog opened at `page`, the steps run inside its modal loop (RunModalSteps).
size_t RunSettingsDialog(int page, std::vector<ModalStep> steps, UINT tickMs);
// The same with steps that are always possible, one at each tick of 60 ms.
void RunSettingsSteps(int page, std::vector<std::function<void()>> steps);

// The open dialog, and a page of it (or another window of the program) by its window slot.
HWND SettingsDialog();
HWND SettingsPage(int slot);
// The dialog closed as its title bar's button closes it; a button of a page pressed.
void CloseSettingsDialog();
void ClickButton(HWND page, int id);

class SettingsPageFrame : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // What the closing saved, read back as the next start would.
  void Reload();
  ScratchDir dir_;
  ULONG_PTR token_ = 0;
  wchar_t settingsPath_[MAX_PATH + 32];
};

}  // namespace testsupport
