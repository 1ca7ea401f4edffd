#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/app_globals.h"
#include "core/pure/scramble.h"
#include "core/settings.h"
#include "support/win_test_support.h"

using testsupport::ScratchDir;

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAppStrings(GetModuleHandleW(nullptr));
    wcscpy(g_programFolder, dir_.path().c_str());
    BuildSettingsFilePath(path_, MAX_PATH + 32);
    g_startFolder[0] = 0;
  }
  void TearDown() override { FreeAppStrings(); }

  std::vector<uint8_t> FileBytes() {
    std::vector<uint8_t> b;
    testsupport::ReadWholeFile(path_, &b);
    return b;
  }
  void WritePlain(SettingsBlock& block, size_t bytes) {
    std::vector<uint8_t> copy(reinterpret_cast<uint8_t*>(&block), reinterpret_cast<uint8_t*>(&block) + bytes);
    ScrambleBuffer(copy.data(), copy.size());
    ASSERT_TRUE(testsupport::WriteWholeFile(path_, copy.data(), copy.size()));
  }

  ScratchDir dir_;
  wchar_t path_[MAX_PATH + 32];
};

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameBlock) {
  SetDefaultSettings();
  g_settings.cleanExit = 1;
  wcscpy(g_startFolder, L"C:\\photos");
  ASSERT_EQ(SaveSettingsFile(), 1);
  auto bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 374992u);
  // Scrambled: the version text is not readable in the file.
  EXPECT_NE(std::memcmp(bytes.data(), u"5.71", 8), 0);

  std::vector<uint8_t> saved(reinterpret_cast<uint8_t*>(&g_settings), reinterpret_cast<uint8_t*>(&g_settings) + sizeof g_settings);
  std::memset(&g_settings, 0x5A, sizeof g_settings);
  g_startFolder[0] = 0;
  ASSERT_EQ(LoadSettingsFile(), 1);
  EXPECT_STREQ(g_startFolder, L"C:\\photos");  // clean exit: the last folder opens without a question
  EXPECT_EQ(g_settings.cleanExit, 0);
  g_settings.cleanExit = 1;
  EXPECT_EQ(std::memcmp(saved.data(), &g_settings, sizeof g_settings), 0);
}

TEST_F(SettingsFileTest, VersionsOfAnotherMajorAreRefused) {
  struct { const char16_t* version; uint8_t loaded; } cases[] = {
      {u"4.10", 1}, {u"5.02", 1}, {u"3.99", 0}, {u"6.00", 0}, {u"", 0}};
  for (auto& c : cases) {
    SetDefaultSettings();
    g_settings.cleanExit = 1;
    CopyText16(g_settings.versionText, 360, c.version);
    WritePlain(g_settings, sizeof g_settings);
    EXPECT_EQ(LoadSettingsFile(), c.loaded) << std::string(c.version, c.version + 4).c_str();
    if (c.loaded) EXPECT_EQ(std::u16string(g_settings.versionText), u"5.71");
  }
}

TEST_F(SettingsFileTest, AShortFileGetsSentinelDefaultsForWhatItDoesNotCover) {
  SetDefaultSettings();
  g_settings.cleanExit = 1;
  FillMissingSentinelSections(g_settings);
  g_settings.gpsUtcOffsetHours = 3;  // inside the covered part, must survive
  CopyText16(g_settings.movieExtensions, 1024, u"zzz;");
  WritePlain(g_settings, 200000);  // ends before the movie section
  ASSERT_EQ(LoadSettingsFile(), 1);
  EXPECT_EQ(g_settings.gpsUtcOffsetHours, 3);
  EXPECT_EQ(g_settings.movieSentinel, 1234);  // covered: the sentinel came from the file
  EXPECT_EQ(g_settings.commentSearchSentinel, 0);  // not covered: zero, not key bytes
  EXPECT_EQ(g_settings.movieExtensions[0], 0);
  FillMissingSentinelSections(g_settings);
  EXPECT_EQ(std::u16string(g_settings.searchComments.rows[0]), u"comment");

  // Shorter still: the GPS section is missing too and gets 1,1,1, 9, 180, 1.
  SetDefaultSettings();
  g_settings.cleanExit = 1;
  WritePlain(g_settings, 150000);
  ASSERT_EQ(LoadSettingsFile(), 1);
  FillMissingSentinelSections(g_settings);
  EXPECT_EQ(std::u16string(g_settings.movieExtensions), u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;");
  EXPECT_EQ(g_settings.gpsLogAuText + g_settings.gpsLogDocomoCsv + g_settings.gpsLogGpx, 3);
  EXPECT_EQ(g_settings.gpsUtcOffsetHours, 9);
  EXPECT_EQ(g_settings.gpsTimeWindowSeconds, 180);
  EXPECT_EQ(g_settings.gpsMapSite, 1);
}

TEST_F(SettingsFileTest, CorruptCountsAreClampedOnLoad) {
  SetDefaultSettings();
  g_settings.cleanExit = 1;
  g_settings.actionCount = 0x7FFFFFFF;
  g_settings.toolboxButtonCount = 500;
  g_settings.splitLayout = 99;
  WritePlain(g_settings, sizeof g_settings);
  ASSERT_EQ(LoadSettingsFile(), 1);
  EXPECT_EQ(g_settings.actionCount, 39);
  EXPECT_EQ(g_settings.toolboxButtonCount, 64);
  EXPECT_EQ(g_settings.splitLayout, 4);
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFileIntact) {
  SetDefaultSettings();
  ASSERT_EQ(SaveSettingsFile(), 1);
  auto before = FileBytes();
  // Hold the file open without delete sharing: the replacing move must fail.
  HANDLE lock = CreateFileW(path_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  g_settings.performance = 1;
  {
    // The user hears of it at once, with the file and the reason.
    testsupport::BoxAnswerer answer(IDOK);
    EXPECT_EQ(SaveSettingsFile(), 0);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text.rfind(std::wstring(L"次の設定ファイルを保存できませんでした。\n") + path_ + L"\n\n", 0),
              0u)
        << testing::PrintToString(answer.seen[0].text);
  }
  CloseHandle(lock);
  EXPECT_EQ(FileBytes(), before);
  // No temporary file is left behind.
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((dir_.path() + L"\\*.tmp").c_str(), &fd);
  EXPECT_EQ(f, INVALID_HANDLE_VALUE);
  if (f != INVALID_HANDLE_VALUE) FindClose(f);
}

TEST_F(SettingsFileTest, MissingFileLoadsNothing) {
  EXPECT_EQ(LoadSettingsFile(), 0);
}

// A file held by another program at start-up runs the session on defaults, never saved over it.
TEST_F(SettingsFileTest, AFileThatCouldNotBeReadIsNeverSavedOver) {
  SetDefaultSettings();
  g_settings.cleanExit = 1;
  ASSERT_EQ(SaveSettingsFile(), 1);
  const auto before = FileBytes();
  HANDLE lock = CreateFileW(path_, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(LoadSettingsFile(), 0);
  CloseHandle(lock);
  g_settings.performance = 1;
  EXPECT_EQ(SaveSettingsFile(), 0);
  EXPECT_EQ(FileBytes(), before);
}

TEST_F(SettingsFileTest, ColorMatchRecordPointsIntoTheBlock) {
  SetDefaultSettings();
  COLORMATCHSETUPW cms;
  BuildColorMatchSetup(&cms);
  EXPECT_EQ(cms.dwSize, sizeof cms);
  EXPECT_EQ(cms.dwFlags, 0x31u);
  EXPECT_EQ(reinterpret_cast<const void*>(cms.pMonitorProfile), static_cast<const void*>(g_settings.colorMonitorProfile));
  EXPECT_EQ(cms.ccPrinterProfile, 260u);

  // What the user chose in the dialog is kept in the block, and so in the settings file.
  cms.dwFlags = 0x30;  // colour management on
  cms.dwRenderIntent = 3;
  cms.dwProofingIntent = 2;
  StoreColorMatchSetup(cms);
  COLORMATCHSETUPW again;
  BuildColorMatchSetup(&again);
  EXPECT_EQ(again.dwFlags, 0x30u);
  EXPECT_EQ(again.dwRenderIntent, 3u);
  EXPECT_EQ(again.dwProofingIntent, 2u);
  EXPECT_EQ(g_settings.colorMatchSetup.size, 76u);
}

}  // namespace
