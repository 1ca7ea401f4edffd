#include <gtest/gtest.h>

#include <vector>

#include "app/startup.h"
#include "resources/resource.h"

namespace {

std::vector<UINT> g_commands;
bool g_sawF10 = false;

LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND) g_commands.push_back(LOWORD(wp));
  if (m == WM_SYSKEYDOWN && wp == VK_F10) g_sawF10 = true;
  return DefWindowProcW(w, m, wp, lp);
}

TEST(MessageLoop, AltSlashAndQuestionMarkReachTheAboutCommandAndF10IsDropped) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BrnLoopTest";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(L"BrnLoopTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  HACCEL acc = LoadAcceleratorsW(wc.hInstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  ASSERT_NE(acc, nullptr);
  const LPARAM altDown = 1 << 29;
  // The accelerator code reads the thread's key state, not the message: hold Alt there.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(w, WM_SYSCHAR, L'/', altDown | 1);
  PostMessageW(w, WM_SYSCHAR, L'?', altDown | 1);
  PostMessageW(w, WM_SYSCHAR, L'x', altDown | 1);
  PostMessageW(w, WM_SYSKEYDOWN, VK_F10, 1);
  PostMessageW(w, WM_SYSKEYDOWN, VK_F10, altDown | 1);
  PostQuitMessage(5);
  EXPECT_EQ(RunMessageLoop(acc), 5);
  EXPECT_EQ(g_commands, (std::vector<UINT>{IDM_ABOUT, IDM_ABOUT}));
  EXPECT_FALSE(g_sawF10);
  keys[VK_MENU] = 0;
  SetKeyboardState(keys);
  DestroyWindow(w);
}

}  // namespace
