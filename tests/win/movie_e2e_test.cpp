// The real program on a folder of camera pictures and movies: the movies are listed with the
// frame size DirectShow reports and are not taken for vanished files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

std::vector<std::wstring> RowTexts(HWND list, int row) {
  std::vector<std::wstring> texts;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int c = 0; c < columns; ++c) texts.push_back(ListCellText(list, row, c));
  return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(MovieE2E, MoviesInAFolderShowTheirFrameSize) {
  const std::wstring movies = ExeFolder() + L"\\..\\testdata\\movies\\";
  if (!FileExists(movies + L"clip.avi")) GTEST_SKIP() << "test movies missing (ffmpeg not installed)";
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), folder = dir.File(L"trip");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring samples = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
  int pictures = 0;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((samples + L"*.jpg").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << "the goexif sample pictures are missing";
  do {
    pictures += CopyFileW((samples + fd.cFileName).c_str(), (folder + L"\\" + fd.cFileName).c_str(), FALSE) ? 1 : 0;
  } while (pictures < 3 && FindNextFileW(find, &fd));
  FindClose(find);
  ASSERT_EQ(pictures, 3);
  ASSERT_TRUE(CopyFileW((movies + L"clip.avi").c_str(), (folder + L"\\MVI_0001.AVI").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((movies + L"clip.mp4").c_str(), (folder + L"\\MVI_0002.MP4").c_str(), FALSE));

  Process p;
  HWND main = StartAndAgree(p, exe, folder);
  ASSERT_NE(main, nullptr);
  HWND status = nullptr, list = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (status = FindDescendant(main, STATUSCLASSNAMEW)) != nullptr; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return (list = FindDescendant(main, WC_LISTVIEWW, 313)) != nullptr; }, 10000));
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(status, 8) == L"\tFILE:1/5"; }, 60000))
      << testing::PrintToString(StatusPartText(status, 8));

  // Each movie's row carries its frame size, once the list thread has probed it.
  struct Expected {
    const wchar_t* name;
    const wchar_t* size;
  } expected[] = {{L"MVI_0001.AVI", L"320*240"}, {L"MVI_0002.MP4", L"176*144"}};
  for (const Expected& m : expected) {
    std::vector<std::wstring> texts;
    EXPECT_TRUE(WaitFor([&] {
      for (int row = 0; row < 5; ++row) {
        texts = RowTexts(list, row);
        if (Contains(texts, m.name)) return Contains(texts, m.size);
      }
      return false;
    }, 90000)) << "row of " << testing::PrintToString(std::wstring(m.name)) << ": "
               << testing::PrintToString(texts);
  }
  // Probing took no file for a vanished one: every file is still counted.
  EXPECT_EQ(StatusPartText(status, 8), L"\tFILE:1/5");
  SaveScreenshot(ExeFolder() + L"\\movie_e2e.bmp");

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!p.WaitExit(30000, &code)) p.Kill();
}

}  // namespace
