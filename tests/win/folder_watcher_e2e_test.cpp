// The real program follows its shown folder: files another program copies in, deletes and
// renames there change the file list without a reload.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "support/e2e_start.h"
#include "support/sample_pictures.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The first column of every row, read through a buffer in the program's process.
std::wstring AllNames(HANDLE process, HWND list) {
  struct Remote {
    LVITEMW item;
    wchar_t text[260];
  };
  auto* remote = static_cast<Remote*>(
      VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!remote) return L"";
  std::wstring names;
  for (int row = 0, n = Rows(list); row < n; ++row) {
    Remote local{};
    local.item.iSubItem = 0;
    local.item.pszText = remote->text;
    local.item.cchTextMax = 260;
    SIZE_T done = 0;
    WriteProcessMemory(process, remote, &local, sizeof local, &done);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&remote->item));
    ReadProcessMemory(process, remote, &local, sizeof local, &done);
    local.text[259] = 0;
    names += local.text;
    names += L"|";
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return names;
}

TEST(FolderWatcherE2E, TheShownFolderFollowsOtherPrograms) {
  ScratchDir program, photos;
  const std::wstring exe = CopyProgramInto(program);
  ASSERT_TRUE(CopyDatedSamples(photos, 2));
  Process p;
  HWND main = nullptr, list = nullptr;
  ASSERT_TRUE(StartPastFirstDialogs(p, exe, photos.path(), 2, &main, &list));
  WaitFor([] { return false; }, 1500);

  // Copied in: one new row once the copy is complete.
  ASSERT_TRUE(CopyFileW((std::wstring(kExifSamples) + kDatedSamples[2]).c_str(), photos.File(L"c.jpg").c_str(), FALSE));
  EXPECT_TRUE(WaitFor([&] { return Rows(list) == 3; }, 15000));
  WaitFor([] { return false; }, 1500);
  EXPECT_EQ(Rows(list), 3);
  EXPECT_NE(AllNames(p.handle, list).find(L"c.jpg|"), std::wstring::npos) << AllNames(p.handle, list).size();

  // Renamed by another program: the same row under its new name.
  ASSERT_TRUE(MoveFileW(photos.File(L"b.jpg").c_str(), photos.File(L"b-renamed.jpg").c_str()));
  EXPECT_TRUE(WaitFor([&] { return AllNames(p.handle, list).find(L"b-renamed.jpg|") != std::wstring::npos; }, 15000));
  EXPECT_EQ(AllNames(p.handle, list).find(L"b.jpg|"), std::wstring::npos);
  EXPECT_EQ(Rows(list), 3);

  // Deleted: the row stays (marked as vanished).
  ASSERT_TRUE(DeleteFileW(photos.File(L"a.jpg").c_str()));
  WaitFor([] { return false; }, 1500);
  EXPECT_EQ(Rows(list), 3);
  EXPECT_TRUE(SaveScreenshot(ExeFolder() + L"\\folder_watcher_e2e.bmp"));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
