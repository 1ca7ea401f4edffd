// The real program: the preferences opened from the main window; removing a toolbox button
// shrinks the main window's toolbox while the dialog is open, the split kind chosen on the
// display page moves the list when the dialog closes, and what the GPS, toolbox, display and
// media-split pages were given is in the settings file after the program closes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "resources/settings_ids.h"
#include "settings_dialog/settings_more_ids.h"
#include "support/e2e_start.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
// The first descendant control with the id whose class (and caption, when given) matches:
// pages reuse ids, so a check box is told from another page's control by its caption.
HWND Descendant(HWND root, int id, const wchar_t* className, const wchar_t* caption = nullptr) {
  std::vector<HWND> all;
  EnumChildWindows(
      root, [](HWND w, LPARAM out) { reinterpret_cast<std::vector<HWND>*>(out)->push_back(w); return TRUE; },
      reinterpret_cast<LPARAM>(&all));
  for (HWND w : all)
    if (GetDlgCtrlID(w) == id && ClassNameOf(w) == className && (!caption || WindowText(w) == caption)) return w;
  return nullptr;
}

std::vector<uint8_t> PlainSettings(const std::wstring& cfg) {
  std::vector<uint8_t> block;
  if (ReadWholeFile(cfg, &block) && block.size() == sizeof(SettingsBlock)) ScrambleBuffer(block.data(), block.size());
  return block;
}

TEST(SettingsPagesE2E, PagesChangeTheProgramAndTheSettingsFile) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), cfg = dir.File(L"Brannomere.cfg");
  Process p;
  HWND main = StartAndAgree(p, exe, L"");
  ASSERT_NE(main, nullptr);
  HWND toolbox = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (toolbox = Descendant(main, 203, TOOLBARCLASSNAMEW)) != nullptr; }, 20000));
  const LRESULT buttonsBefore = SendMessageW(toolbox, TB_BUTTONCOUNT, 0, 0);
  EXPECT_EQ(buttonsBefore, 32);

  PostMessageW(main, WM_COMMAND, 336, 0);  // "環境設定を開く(F9)"
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FindTopWindow(p.id, L"#32770", L"環境設定")) != nullptr; }, 20000));
  HWND remove = nullptr, docomo = nullptr, even = nullptr, split = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    remove = Descendant(dialog, IDC_TOOLBOX_REMOVE, L"Button");
    docomo = Descendant(dialog, IDC_GPS_DOCOMO, L"Button", L"Docomo　足あとデータ");
    even = Descendant(dialog, IDC_SPLIT_EVEN, L"Button", L"均等なサイズになるように振分ける");
    split = Descendant(dialog, IDC_THUMB_SPLIT_POSITION, L"ComboBox");
    return remove && docomo && even && split;
  }, 10000));
  // The list starts above the pictures, across the whole pane.
  HWND list = Descendant(main, 313, WC_LISTVIEWW);
  ASSERT_NE(list, nullptr);
  auto listRect = [&] {
    RECT r{};
    GetWindowRect(list, &r);
    MapWindowPoints(nullptr, GetParent(list), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT pane{};
  GetClientRect(GetParent(list), &pane);
  EXPECT_EQ(listRect().left, 0);
  EXPECT_EQ(listRect().right, pane.right);
  // "左に分割表示": the list goes to the left of the pictures.
  SendMessageW(split, CB_SETCURSEL, 3, 0);
  SendMessageW(GetParent(split), WM_COMMAND, MAKEWPARAM(IDC_THUMB_SPLIT_POSITION, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(split));
  // The first used button is selected after the page fills: removing it rebuilds the toolbox.
  SendMessageW(remove, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] {
    toolbox = Descendant(main, 203, TOOLBARCLASSNAMEW);
    return toolbox && SendMessageW(toolbox, TB_BUTTONCOUNT, 0, 0) == 31;
  }, 10000));
  SendMessageW(docomo, BM_CLICK, 0, 0);
  SendMessageW(even, BM_CLICK, 0, 0);
  SaveScreenshot(ExeFolder() + L"\\settings_e2e.bmp");
  // Every page as the user brings it up from the tree, one picture each for the eye.
  HWND tree = Descendant(dialog, 485, WC_TREEVIEWW);
  ASSERT_NE(tree, nullptr);
  int shown = 0;
  for (LPARAM group = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0); group;
       group = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, group))
    for (LPARAM item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, group); item;
         item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, item)) {
      SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, item);
      Sleep(300);
      SaveScreenshot(ExeFolder() + L"\\settings_e2e_page" + std::to_wstring(shown++) + L".bmp");
    }
  EXPECT_EQ(shown, 18);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return FindTopWindow(p.id, L"#32770", L"環境設定") == nullptr; }, 10000));
  EXPECT_TRUE(WaitFor([&] {
    const RECT r = listRect();
    return r.left == 0 && r.top == 0 && r.right == 200 && r.bottom == pane.bottom;
  }, 10000)) << listRect().right << "x" << listRect().bottom;
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));

  std::vector<uint8_t> block = PlainSettings(cfg);
  ASSERT_EQ(block.size(), sizeof(SettingsBlock));
  const auto* s = reinterpret_cast<const SettingsBlock*>(block.data());
  EXPECT_EQ(s->toolboxButtonCount, 31);
  EXPECT_EQ(s->toolboxButtons[0], 2);
  EXPECT_EQ(s->gpsLogDocomoCsv, 0);
  EXPECT_EQ(s->gpsLogAuText, 1);
  EXPECT_EQ(s->mediaSplitEven, 1);
  EXPECT_EQ(s->thumbnailSplitKind, 3);
}
}  // namespace
