// The viewer threads' start and stop protocol, and the painter's answers for rows it cannot show.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include "core/image_entry_list.h"
#include "core/memory.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "core/spare_memory.h"
#include "core/viewer_thread_state.h"
#include "support/program_services.h"
#include "support/win_test_support.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"

namespace {

TEST(ViewerThreads, StartThenStopAtOnceReturns) {
  testsupport::ScratchDir dir;
  ULONG_PTR gdiplus = testsupport::StartProgramServices(dir.path());
  for (int i = 0; i < 20; ++i) {
    StartViewerThreads();
    EXPECT_TRUE(IsPaneRenderThreadRunning());
    StopViewerThreads();  // at once: the stop request is never lost
    EXPECT_EQ(g_renderThread, nullptr);
    EXPECT_EQ(g_prefetchThread, nullptr);
    EXPECT_EQ(g_renderState, 3);
    EXPECT_EQ(g_prefetchState, 3);
    EXPECT_FALSE(IsPaneRenderThreadRunning());
  }
  // A second start while running starts nothing new.
  StartViewerThreads();
  HANDLE render = g_renderThread;
  StartViewerThreads();
  EXPECT_EQ(g_renderThread, render);
  StopViewerThreads();
  EXPECT_FALSE(WaitViewerDevelopThread());  // none was running

  // The painter: no row draws "?" and answers -2; a pane of no size is left alone.
  HWND pane = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(pane, nullptr);
  HDC dc = GetDC(pane);
  EXPECT_EQ(PaintViewerPane(dc, pane, -1, 0, 0), kPaneNoPicture);
  SetWindowPos(pane, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(PaintViewerPane(dc, pane, -1, 0, 0), kPaneFinal);
  ReleaseDC(pane, dc);
  DestroyWindow(pane);
  FreeViewerBackBuffer();
  Gdiplus::GdiplusShutdown(gdiplus);
}

BOOL WINAPI ShortOfMemory(LPMEMORYSTATUSEX status) {
  const BOOL ok = GlobalMemoryStatusEx(status);
  status->ullAvailPhys = MemoryPressureLimit / 2;
  return ok;
}

// Memory kept for the next picture is given back as soon as the prefetch thread finds memory
// short, not only once an allocation has failed.
TEST(ViewerThreads, ThePrefetchMemoryCheckGivesBackKeptMemoryWhenMemoryIsShort) {
  testsupport::ScratchDir dir;
  ULONG_PTR gdiplus = testsupport::StartProgramServices(dir.path());
  ReleaseSpareMemory();
  size_t capacity = 0;
  void* kept = TakeSpareMemory(SpareKind::kFittedCopy, 1u << 20, &capacity);
  ASSERT_NE(kept, nullptr);
  GiveBackSpareMemory(SpareKind::kFittedCopy, kept, capacity);
  ASSERT_GT(SpareMemoryBytes(), 0u);
  // One listed entry whose file is gone: a prefetch cycle checks memory and prepares nothing.
  ImageEntry gone{};
  gone.presence = kEntryVanished;
  gone.flags = kEntryInfoRead;
  void* pointers[1] = {&gone};
  uint16_t order[1] = {0};
  void** savedPointers = g_entryPointers;
  uint16_t* savedOrder = g_displayOrder;
  const int32_t savedEntries = g_entryCount, savedList = g_listCount, savedCursor = g_cursorRow;
  g_entryPointers = pointers;
  g_displayOrder = order;
  g_entryCount = g_listCount = 1;
  g_cursorRow = RenderedRow = 0;
  MemoryCheckedRow = -1;
  g_memoryStatusFn = ShortOfMemory;
  StartViewerThreads();
  for (int i = 0; i < 500 && SpareMemoryBytes() != 0; ++i) Sleep(10);
  const uint64_t left = SpareMemoryBytes();
  StopViewerThreads();
  g_memoryStatusFn = GlobalMemoryStatusEx;
  g_entryPointers = savedPointers;
  g_displayOrder = savedOrder;
  g_entryCount = savedEntries;
  g_listCount = savedList;
  g_cursorRow = savedCursor;
  MemoryCheckedRow = -1;
  EXPECT_EQ(left, 0u);
  Gdiplus::GdiplusShutdown(gdiplus);
}

// Once the main window closes, a worker that never answers its stop request (stuck inside a
// call on a damaged file) and a semaphore its holder never gives back hold the shut-down up for
// a few seconds only: the thread is left behind and counted, the lock runs without the semaphore.
TEST(ViewerThreads, AtShutDownAStuckWorkerAndAHeldSemaphoreAreGivenUp) {
  static volatile LONG release = 0;
  HANDLE stuck = CreateThread(
      nullptr, 0, [](void*) -> DWORD {
        while (!release) Sleep(5);
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(stuck, nullptr);
  g_prefetchThread = stuck;
  g_prefetchState = 0;
  HANDLE held = CreateSemaphoreW(nullptr, 0, 1, nullptr);
  ASSERT_NE(held, nullptr);
  g_semaphores[kSemaImage] = held;
  const LONG abandoned = g_abandonedThreads;

  BeginShutDown();
  DWORD start = GetTickCount();
  StopViewerThreads();
  DWORD spent = GetTickCount() - start;
  EXPECT_EQ(g_prefetchThread, nullptr);
  EXPECT_EQ(g_abandonedThreads, abandoned + 1);
  EXPECT_GE(spent, kShutDownLastWaitMs);
  EXPECT_LT(spent, kShutDownWaitMs + 2000);
  start = GetTickCount();
  {
    SemaphoreLock lock(kSemaImage);
    EXPECT_FALSE(lock.held());
    EXPECT_TRUE(lock.gaveUp());
  }
  spent = GetTickCount() - start;
  EXPECT_LT(spent, kShutDownWaitMs + 2000);
  // Nothing was released that was never taken.
  EXPECT_EQ(WaitForSingleObject(held, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  release = 1;
  EXPECT_EQ(WaitForSingleObject(stuck, 5000), WAIT_OBJECT_0);
  CloseHandle(stuck);
  g_semaphores[kSemaImage] = nullptr;
  CloseHandle(held);
  g_prefetchState = 3;
  g_shuttingDown = 0;
}

}  // namespace
