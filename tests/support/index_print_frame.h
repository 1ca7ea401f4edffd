// The frame of the index print tests: the services on a scratch program folder for the suite;
// each test with default settings, a scratch data folder and no folder cache, and the folder it
// prints listed as the program lists it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/win_test_support.h"

namespace testsupport {

class IndexPrintFrame : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  // Closes the index print dialog when open and frees the list.
  void TearDown() override;
  // The folder listed with its thumbnail thread stopped, every row shown in file order. With
  // read: the list thread reads every file's information first, as in the program.
  void Load(const std::wstring& folder, bool read = false);
  static inline ULONG_PTR token_ = 0;
  ScratchDir data_;
};

}  // namespace testsupport
