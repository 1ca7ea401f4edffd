// The real program: a key bound to "copy to folder" copies the picture in the list, the status
// bar counts it, and the key bound to undo takes the copy back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/pure/action_table.h"
#include "core/pure/settings_block.h"
#include "support/e2e_start.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kSample[] =
    L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\"
    L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg";

// Text of a status-bar part, read through a buffer in the program's process.
std::wstring StatusPart(DWORD processId, HWND bar, int part) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return L"";
  void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
  std::wstring text;
  if (remote) {
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote));
    wchar_t local[2048] = {};
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, local, sizeof local - 2, &read);
    text = local;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// The first line of every extended combo box of the window, read in the program's process.
std::vector<std::wstring> ComboTopLines(DWORD processId, HWND main) {
  std::vector<HWND> combos;
  EnumChildWindows(
      main,
      [](HWND w, LPARAM out) {
        if (ClassNameOf(w) == L"ComboBoxEx32") reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&combos));
  std::vector<std::wstring> lines;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return lines;
  auto* remote = static_cast<uint8_t*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  for (HWND combo : combos) {
    if (!remote) break;
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = 0;
    item.pszText = reinterpret_cast<wchar_t*>(remote + 512);
    item.cchTextMax = 1000;
    SIZE_T done = 0;
    const wchar_t empty = 0;
    WriteProcessMemory(process, remote + 512, &empty, sizeof empty, &done);
    WriteProcessMemory(process, remote, &item, sizeof item, &done);
    if (!SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote))) continue;
    wchar_t local[1000] = {};
    ReadProcessMemory(process, remote + 512, local, sizeof local - 2, &done);
    lines.push_back(local);
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return lines;
}

bool HistoryShows(DWORD processId, HWND main, const std::wstring& line) {
  for (const std::wstring& top : ComboTopLines(processId, main))
    if (top == line) return true;
  return false;
}

HWND StatusBar(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassNameOf(c) == STATUSCLASSNAMEW) return c;
  return nullptr;
}

TEST(HotKeyActionsE2E, CopyKeyCopiesTheFileAndUndoKeyTakesItBack) {
  ScratchDir dir, photos, dest;
  const std::wstring exe = CopyProgramInto(dir), cfg = dir.File(L"Brannomere.cfg");
  ASSERT_TRUE(CopyFileW(kSample, photos.File(L"a.jpg").c_str(), FALSE));
  std::vector<uint8_t> original;
  ASSERT_TRUE(ReadWholeFile(photos.File(L"a.jpg"), &original));
  // A first start writes the settings file; the action rows go into it.
  ASSERT_NO_FATAL_FAILURE(AgreeAndCloseOnce(exe));
  ASSERT_TRUE(ChangeSettingsFile(cfg, [&](SettingsBlock& settings) {
    settings.actionCount = 2;
    settings.confirmFirstAction = 0;
    auto* rows = reinterpret_cast<ActionEntry*>(settings.actionTable);
    std::memset(rows, 0, 2 * sizeof(ActionEntry));
    rows[0].enabled = rows[1].enabled = 1;
    rows[0].targetKey = 4 + ('C' - 'A');
    rows[0].kind = 3;
    wcsncpy(reinterpret_cast<wchar_t*>(rows[0].path), dest.path().c_str(), 259);
    rows[1].targetKey = 4 + ('U' - 'A');
    rows[1].kind = 0;
  }));

  Process p;
  HWND main = nullptr, list = nullptr;
  ASSERT_TRUE(StartAgain(p, exe, photos.path(), 1, &main, &list));
  WaitFor([] { return false; }, 1000);
  RECT r = ScreenRectOf(list);
  // The first thumbnail: selected, and the list has the focus.
  ASSERT_TRUE(ClickUntilFocused(main, list, r.left + 30, r.top + 30));
  const std::wstring copy = dest.File(L"a.jpg");
  ASSERT_TRUE(PressKeyUntil('C', [&] { return FileExists(copy); }, 30000));
  std::vector<uint8_t> copied;
  ASSERT_TRUE(WaitFor([&] { return ReadWholeFile(copy, &copied) && copied == original; }, 5000));
  HWND bar = StatusBar(main);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(WaitFor([&] { return StatusPart(p.id, bar, 1).find(L"COPY:1") != std::wstring::npos; }, 5000))
      << "status part: " << StatusPart(p.id, bar, 1).size();
  EXPECT_TRUE(WaitFor([&] { return HistoryShows(p.id, main, L"ｺﾋﾟｰ:a.jpg->OK!"); }, 5000));
  EXPECT_TRUE(PressKeyUntil('U', [&] { return !FileExists(copy); }, 30000));
  EXPECT_TRUE(WaitFor([&] { return HistoryShows(p.id, main, L"復帰(UNDO):a.jpg->OK!"); }, 5000));
  std::vector<uint8_t> still;
  ASSERT_TRUE(ReadWholeFile(photos.File(L"a.jpg"), &still));
  EXPECT_EQ(still, original);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
}

}  // namespace
