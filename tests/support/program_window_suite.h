// The frame of a test suite that drives the program's main window in this process: the services
// on a scratch program folder of its own, the window open with its idle timer stopped (the tests
// tick by hand), and a scratch folder for the pictures the suite lists.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/program_services.h"
#include "support/win_test_support.h"

namespace testsupport {

class ProgramWindowSuite : public ::testing::Test {
 protected:
  // `adjust` changes the settings as a settings file would before the window opens.
  static void OpenProgram(const std::function<void()>& adjust);
  // The File Information window and the main window closed (the list's entries freed with it),
  // the services ended and both folders removed.
  static void CloseProgram();
  // The folder listed as when the user opens it: its rows in and every file's information read.
  static void LoadFolder(const std::wstring& folder);

  static inline ScratchDir *dir_ = nullptr, *photos_ = nullptr;
  static inline ULONG_PTR token_ = 0;
};

}  // namespace testsupport
