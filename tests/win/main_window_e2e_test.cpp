// The real program's main window: first-start placement and its record in the settings file,
// keyboard toggles served by the idle timer, and a screenshot of the empty window.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &in[0], sizeof(INPUT));
  Sleep(250);  // held across several ticks, also while a full-screen repaint slows them
  SendInput(1, &in[1], sizeof(INPUT));
  Sleep(250);  // and seen released before the next press
}

// The file-list pane: the child dialog whose list control has id 313.
HWND FileListPane(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetDlgItem(c, 313)) return c;
  return nullptr;
}

int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
  int32_t v;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}

TEST(MainWindowE2E, FirstStartPlacementKeysAndTheStoredRectangle) {
  ScratchDir dir;
  const std::wstring exe = dir.File(L"Brannomere.exe"), cfg = dir.File(L"Brannomere.cfg");
  ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\Brannomere.exe").c_str(), exe.c_str(), FALSE));
  Process p;
  ASSERT_TRUE(p.Start(exe, L""));
  HWND terms = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (terms = FindTopWindow(p.id, L"#32770", L"")) != nullptr; }, 30000));
  PostMessageW(terms, WM_COMMAND, MAKEWPARAM(424, BN_CLICKED), 0);
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = FindTopWindow(p.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
  WaitFor([] { return false; }, 800);

  RECT r = ScreenRectOf(main);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 1820);
  EXPECT_EQ(r.bottom - r.top, 980);

  HWND pane = FileListPane(main);
  ASSERT_NE(pane, nullptr);
  auto paneLeft = [&] {
    RECT pr = ScreenRectOf(pane);
    POINT pt{pr.left, pr.top};
    ScreenToClient(main, &pt);
    return pt.x;
  };
  EXPECT_EQ(paneLeft(), 200);

  const std::wstring shot = ExeFolder() + L"\\main_window_empty.bmp";
  EXPECT_TRUE(SaveScreenshot(shot));

  SetForegroundWindow(main);
  // The first Tab puts the focus into the folder tree; from there Tab hides the navigation pane
  // and the file list moves to the left edge; Tab again brings it back.
  PressKey(VK_TAB);
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(paneLeft(), 200);
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 0; }, 5000));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 200; }, 5000));

  // Escape: full screen over the whole desktop, and back to the window.
  RECT desk;
  GetWindowRect(GetDesktopWindow(), &desk);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] {
    RECT f = ScreenRectOf(main);
    return f.left == desk.left && f.top == desk.top && f.right == desk.right && f.bottom == desk.bottom;
  }, 5000));
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, 0);
  WaitFor([] { return false; }, 300);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] {
    RECT f = ScreenRectOf(main);
    return f.left == 50 && f.top == 50 && f.right == 1870 && f.bottom == 1030;
  }, 5000));
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 200; }, 5000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  std::vector<uint8_t> plain;
  ASSERT_TRUE(ReadWholeFile(cfg, &plain));
  ASSERT_EQ(plain.size(), sizeof(SettingsBlock));
  ScrambleBuffer(plain.data(), plain.size());
  EXPECT_EQ(I32At(plain, 49536), 50);
  EXPECT_EQ(I32At(plain, 49540), 50);
  EXPECT_EQ(I32At(plain, 49544), 1820);
  EXPECT_EQ(I32At(plain, 49548), 980);
  EXPECT_EQ(plain[offsetof(SettingsBlock, cleanExit)], 1);
  EXPECT_EQ(plain[offsetof(SettingsBlock, wasFullScreen)], 0);
}

}  // namespace
