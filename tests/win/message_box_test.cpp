#include <gtest/gtest.h>

#include "core/app_globals.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "support/win_test_support.h"

using testsupport::BoxAnswerer;

namespace {

TEST(MessageBoxes, WrappersSetBusyAndPassCaptionAndType) {
  BoxAnswerer answer(IDNO);
  answer.busyFlag = &BusyFlag;
  DWORD start = GetTickCount();
  int r = ShowAppMessageBox(nullptr, L"本文", L"Brannomere", 0x40124);
  EXPECT_GE(GetTickCount() - start, 190u);  // the 200 ms pause after the box
  EXPECT_EQ(r, IDNO);
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].caption, L"Brannomere");
  EXPECT_EQ(answer.seen[0].text, L"本文");
  EXPECT_EQ(answer.seen[0].busyFlagWhileOpen, 1);
  EXPECT_EQ(answer.seen[0].defaultId, IDNO);  // MB_DEFBUTTON2
  EXPECT_EQ(BusyFlag, 0);
}

TEST(MessageBoxes, ConfirmBoxIsRelabelledAndDefaultsToDoNothing) {
  BoxAnswerer answer(0);  // press the default button, as Enter would
  int r = ShowConfirmSettingsBox(nullptr, L"確認", L"Brannomere", 0x40223);
  EXPECT_EQ(r, IDCANCEL);
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].buttons[0], L"設定確認(&E)");
  EXPECT_EQ(answer.seen[0].buttons[1], L"はい(&Y)");
  EXPECT_EQ(answer.seen[0].buttons[2], L"いいえ(&N)");
  // A plain box afterwards keeps its own labels: the hook is gone.
  answer.answer = IDYES;
  ShowAppMessageBox(nullptr, L"x", L"Brannomere", MB_YESNO);
  ASSERT_EQ(answer.seen.size(), 2u);
  EXPECT_NE(answer.seen[1].buttons[0], L"設定確認(&E)");
}

TEST(MessageBoxes, ABoxWhoseOwnerIsGoneIsStillShown) {
  // As at shut-down, after the navigation pane that owned the boxes was destroyed.
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  DestroyWindow(owner);
  MessageOwnerWindow = owner;
  BoxAnswerer answer(IDOK);
  EXPECT_EQ(ShowAppMessageBox(nullptr, L"保存できませんでした。", L"Brannomere", MB_ICONERROR), IDOK);
  MessageOwnerWindow = nullptr;
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].text, L"保存できませんでした。");
}

TEST(MessageBoxes, NestedBusySettersDoNotClearEarly) {
  EnterBusy();
  {
    BoxAnswerer answer(IDOK);
    ShowMessageBox(nullptr, L"inner", L"Brannomere", 0);
  }
  EXPECT_EQ(BusyFlag, 1);
  LeaveBusy();
  EXPECT_EQ(BusyFlag, 0);
}

TEST(MessageBoxes, PumpSleepsEvenWithAnEmptyQueue) {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  PumpMessages(30);
  QueryPerformanceCounter(&b);
  EXPECT_GE((b.QuadPart - a.QuadPart) * 1000 / f.QuadPart, 29);
}

TEST(MessageBoxes, FocusRestoreTargetOnlyOnFlagOne) {
  LastBrowseFocusWindow = reinterpret_cast<HWND>(0x1234);
  FocusRestoreWindow = nullptr;
  SetFocusRestoreTarget(0);
  EXPECT_EQ(FocusRestoreWindow, nullptr);
  SetFocusRestoreTarget(1);
  EXPECT_EQ(FocusRestoreWindow, reinterpret_cast<HWND>(0x1234));
  LastBrowseFocusWindow = FocusRestoreWindow = nullptr;
}

HGLOBAL WINAPI FailingGlobalAlloc(UINT, SIZE_T) { return nullptr; }
LPVOID WINAPI FailingVirtualAlloc(LPVOID, SIZE_T, DWORD, DWORD) { return nullptr; }

TEST(MemoryPressure, FourFailuresReachTheCapWithOneBox) {
  BoxAnswerer answer(IDOK);
  g_globalAllocFn = FailingGlobalAlloc;
  g_virtualAllocFn = FailingVirtualAlloc;
  ResetMemoryPressure();
  const uint32_t expected[] = {0x8000000u, 0x10000000u, 0x20000000u, 0x40000000u};
  for (int i = 0; i < 4; ++i) {
    MemoryCheckedRow = 7;
    if (i % 2) EXPECT_EQ(AllocVirtual(0, 1000), nullptr);
    else EXPECT_EQ(AllocGlobal(GMEM_FIXED, 1000), nullptr);
    EXPECT_EQ(MemoryPressureLimit, expected[i]);
    EXPECT_EQ(MemoryCheckedRow, -1);
  }
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].caption, L"メモリ不足です。");
  EXPECT_EQ(answer.seen[0].text.rfind(L"Mem->1000(", 0), 0u);
  // At the cap: no box, the checked row is left alone.
  MemoryCheckedRow = 7;
  EXPECT_EQ(AllocGlobal(GMEM_FIXED, 1), nullptr);
  EXPECT_EQ(MemoryCheckedRow, 7);
  EXPECT_EQ(answer.seen.size(), 1u);
  // A list load resets the limit: four more failures give one more box.
  ResetMemoryPressure();
  for (int i = 0; i < 4; ++i) AllocGlobal(GMEM_FIXED, 1);
  EXPECT_EQ(answer.seen.size(), 2u);
  g_globalAllocFn = GlobalAlloc;
  g_virtualAllocFn = VirtualAlloc;
  ResetMemoryPressure();
  HGLOBAL h = AllocGlobal(GMEM_FIXED, 64);
  EXPECT_NE(h, nullptr);
  FreeGlobal(h);
}

TEST(MemoryPressure, ResourceShortageReportedOnceAtTheSecondFailure) {
  BoxAnswerer answer(IDOK);
  ReportResourceShortage();
  EXPECT_EQ(answer.seen.size(), 0u);
  ReportResourceShortage();
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].text.rfind(L"リソースが不足している為", 0), 0u);
  ReportResourceShortage();
  EXPECT_EQ(answer.seen.size(), 1u);
}

}  // namespace
