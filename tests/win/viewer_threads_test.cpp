// The viewer threads' start and stop protocol, and the painter's answers for rows it cannot show.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include "core/image_entry_list.h"
#include "core/settings.h"
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

}  // namespace
