// The frames of test suites that drive the program's main window in this process: the services
// on a scratch program folder of their own and the window open with its idle timer stopped (the
// tests tick by hand); the second adds a scratch folder for the pictures the suite lists.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/program_services.h"
#include "support/win_test_support.h"

namespace testsupport {

class MainWindowSuite : public ::testing::Test {
 protected:
  // `adjust` changes the settings as a settings file would before the window opens.
  static void OpenMainWindow(const std::function<void()>& adjust = nullptr);
  // The File Information window and the main window closed (the list's entries freed with it),
  // the row canvases freed, the services ended and the program folder removed.
  static void CloseMainWindow();

  static inline ScratchDir* dir_ = nullptr;
  static inline ULONG_PTR token_ = 0;
};

class ProgramWindowSuite : public MainWindowSuite {
 protected:
  static void OpenProgram(const std::function<void()>& adjust);
  // The window closed as above and the pictures' folder removed too.
  static void CloseProgram();
  // The folder listed as when the user opens it: its rows in and every file's information read.
  static void LoadFolder(const std::wstring& folder);

  static inline ScratchDir* photos_ = nullptr;
};

// The text of a line of the action history, the newest first, and its icon's index when `image`
// is given; false when the bar or the line is not there.
bool ActionHistoryLine(int line, std::wstring* text, int* image = nullptr);

}  // namespace testsupport
