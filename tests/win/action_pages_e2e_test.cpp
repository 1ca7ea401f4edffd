// The real program: an action added on the action list page through the register dialog fires
// from its key and copies the picture; the action, a changed check box of the action page and a
// changed joiner of the rename page are there again after a restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "resources/action_pages_ids.h"
#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kSample[] =
    L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\"
    L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg";
constexpr int kKeyC = 4 + ('C' - 'A');

void Pick(HWND dialog, HWND combo, int item) {
  SendMessageW(combo, CB_SETCURSEL, item, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

HWND OpenSettings(DWORD processId, HWND main, int command) {
  PostMessageW(main, WM_COMMAND, command, 0);
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindTopWindow(processId, L"#32770", L"環境設定")) != nullptr; }, 20000);
  return dialog;
}

void CloseSettings(DWORD processId, HWND dialog) {
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindTopWindow(processId, L"#32770", L"環境設定") == nullptr; }, 10000));
}

TEST(ActionPagesE2E, ActionAddedOnThePageFiresFromItsKeyAndSurvivesARestart) {
  ScratchDir dir, photos, dest;
  const std::wstring exe = CopyProgramInto(dir), cfg = dir.File(L"Brannomere.cfg");
  ASSERT_TRUE(CopyFileW(kSample, photos.File(L"a.jpg").c_str(), FALSE));
  std::vector<uint8_t> original;
  ASSERT_TRUE(ReadWholeFile(photos.File(L"a.jpg"), &original));
  const std::wstring folder = dest.path() + L"\\";

  Process p;
  HWND main = nullptr;
  ASSERT_TRUE(StartPastFirstDialogs(p, exe, photos.path(), -1, &main));

  // Page 8 from the main window's command, then "追加" opens the register dialog.
  HWND settings = OpenSettings(p.id, main, 333);
  ASSERT_NE(settings, nullptr);
  HWND add = nullptr, list = nullptr, keepTime = nullptr;
  // Ids repeat across pages: the controls are taken from the page that holds the action list.
  ASSERT_TRUE(WaitFor([&] {
    list = FindDescendant(settings, L"SysListView32", IDC_ACTION_LIST);
    if (!list) return false;
    add = GetDlgItem(GetParent(list), IDC_ACTION_ADD);
    keepTime = GetDlgItem(GetParent(list), IDC_ACTION_KEEP_ROTATION_TIME);
    return add && keepTime && IsWindowVisible(list);
  }, 10000));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  SendMessageW(keepTime, BM_CLICK, 0, 0);
  PostMessageW(GetParent(add), WM_COMMAND, MAKEWPARAM(IDC_ACTION_ADD, BN_CLICKED), reinterpret_cast<LPARAM>(add));
  HWND reg = nullptr;
  const bool registerOpen =
      WaitFor([&] { return (reg = FindTopWindow(p.id, L"#32770", L"アクション登録")) != nullptr; }, 10000);
  if (!registerOpen) SaveScreenshot(ExeFolder() + L"\\action_register_missing.bmp");
  ASSERT_TRUE(registerOpen);
  HWND key = GetDlgItem(reg, IDC_REGISTER_KEY), kind = GetDlgItem(reg, IDC_REGISTER_KIND);
  HWND path = GetDlgItem(reg, IDC_REGISTER_PATH), ask = GetDlgItem(reg, IDC_REGISTER_ASK_AT_RUN);
  ASSERT_TRUE(key && kind && path && ask);
  Pick(reg, key, kKeyC);
  Pick(reg, kind, 3);  // copy
  SendMessageW(ask, BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dest.path().c_str()));
  EXPECT_TRUE(WaitFor([&] {
    return WindowText(GetDlgItem(reg, IDC_REGISTER_TITLE)) ==
           L"Cキー を押すと フォルダ　[ " + dest.path() + L" ]　に選択ファイルをコピーします。";
  }, 5000)) << "title";
  EXPECT_EQ(WindowText(GetDlgItem(reg, IDC_REGISTER_PATH_LABEL)), L"コピー先フォルダ");
  SaveScreenshot(ExeFolder() + L"\\action_register_e2e.bmp");
  PostMessageW(reg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(reg); }, 10000));
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000));
  EXPECT_EQ(ListCellText(list, 0, 0), L"ｺﾋﾟｰ");
  EXPECT_EQ(ListCellText(list, 0, 1), L"Cキー");
  EXPECT_EQ(ListCellText(list, 0, 2), folder);
  EXPECT_EQ(ListCellText(list, 0, 7), L"0");
  SaveScreenshot(ExeFolder() + L"\\action_list_e2e.bmp");
  CloseSettings(p.id, settings);

  // Page 9 from its own command: the prefix joiner is stored as soon as it is chosen.
  settings = OpenSettings(p.id, main, 32787);
  ASSERT_NE(settings, nullptr);
  HWND joiner = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    HWND actions = FindDescendant(settings, L"ComboBox", IDC_RENAME_ACTIONS);
    joiner = actions ? GetDlgItem(GetParent(actions), IDC_RENAME_PREFIX_JOINER) : nullptr;
    return joiner && IsWindowVisible(joiner);
  }, 10000));
  Pick(GetParent(joiner), joiner, 2);
  SaveScreenshot(ExeFolder() + L"\\rename_page_e2e.bmp");
  CloseSettings(p.id, settings);

  // The new key asks before its first run; "はい" runs it.
  HWND files = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (files = FileListOf(main)) && SendMessageW(files, LVM_GETITEMCOUNT, 0, 0) == 1; }, 30000));
  // Closing the dialog gives the activation back to the main window; keys go there after that.
  WaitFor([&] {
    HWND front = GetForegroundWindow();
    DWORD owner = 0;
    if (front) GetWindowThreadProcessId(front, &owner);
    return owner == p.id;
  }, 5000);
  WaitFor([] { return false; }, 1000);
  RECT r = ScreenRectOf(files);
  ASSERT_TRUE(ClickUntilFocused(main, files, r.left + 30, r.top + 30));
  const std::wstring copy = dest.File(L"a.jpg");
  // The question is a box with a caption (the hover popups over the list are dialogs without one).
  auto asked = [&] {
    for (HWND w : VisibleTopWindows(p.id, L"#32770"))
      if (!WindowText(w).empty()) return true;
    return false;
  };
  EXPECT_TRUE(PressKeyUntil('C', [&] { return asked() || FileExists(copy); }, 30000));
  SaveScreenshot(ExeFolder() + L"\\action_key_pressed.bmp");
  std::wstring caption, text;
  if (!FileExists(copy))
    EXPECT_TRUE(AnswerForeignBox(p.id, IDNO, 10000, &caption, &text));  // "はい(&Y)" is the second button
  ASSERT_TRUE(WaitFor([&] { return FileExists(copy); }, 10000)) << "question: " << text.size();
  std::vector<uint8_t> copied;
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(copy, &copied) && copied == original; }, 5000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));

  // A second start shows the action again on page 8, and the file holds what was set.
  Process again;
  ASSERT_TRUE(again.Start(exe, L"\"" + photos.path() + L"\""));
  ASSERT_TRUE(WaitFor([&] { return (main = FindTopWindow(again.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
  WaitFor([&] { return (files = FileListOf(main)) && SendMessageW(files, LVM_GETITEMCOUNT, 0, 0) == 1; }, 30000);
  settings = OpenSettings(again.id, main, 333);
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(WaitFor([&] {
    list = FindDescendant(settings, L"SysListView32", IDC_ACTION_LIST);
    keepTime = list ? GetDlgItem(GetParent(list), IDC_ACTION_KEEP_ROTATION_TIME) : nullptr;
    return list && keepTime && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1;
  }, 10000));
  EXPECT_EQ(ListCellText(list, 0, 1), L"Cキー");
  EXPECT_EQ(ListCellText(list, 0, 2), folder);
  EXPECT_EQ(SendMessageW(keepTime, BM_GETCHECK, 0, 0), BST_CHECKED);
  CloseSettings(again.id, settings);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(again.WaitExit(20000, &code));

  std::vector<uint8_t> block;
  ASSERT_TRUE(ReadWholeFile(cfg, &block));
  ASSERT_EQ(block.size(), sizeof(SettingsBlock));
  ScrambleBuffer(block.data(), block.size());
  const auto* s = reinterpret_cast<const SettingsBlock*>(block.data());
  EXPECT_EQ(s->actionCount, 1);
  EXPECT_EQ(s->keepTimeOnLosslessRotation, 1);
  EXPECT_EQ(s->renamePrefixJoiner, 2);
}

}  // namespace
