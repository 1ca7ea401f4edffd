// The main window built in this process: layout of its children, the idle tick's requests
// and the relayout they cause.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "browser/icon_lists.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/path_utils.h"
#include "browser/navigation_pane.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "browser/status_bar.h"
#include "browser/toolbar_state.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "actions/media_split.h"
#include "browser/shell_tree.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/pure/settings_rules.h"
#include "core/settings.h"
#include "app/startup.h"
#include "core/thumbnail_list_thread.h"
#include "viewer/histogram.h"
#include "resources/resource.h"
#include "settings_dialog/color_settings.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"


using namespace testsupport;

namespace {

RECT ClientRectIn(HWND w, HWND parent) {
  RECT r = ScreenRectOf(w);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Acts on the window of a slot once it is shown, from inside the modal loop that shows it.
class SlotDriver {
 public:
  SlotDriver(int slot, std::function<void(HWND)> act) {
    slot_ = slot;
    act_ = std::move(act);
    timer_ = SetTimer(nullptr, 0, 30, Fire);
  }
  ~SlotDriver() { KillTimer(nullptr, timer_); }

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND w = g_windowSlots[slot_];
    if (!w || !IsWindowVisible(w)) return;
    KillTimer(nullptr, timer);
    act_(w);
  }
  static inline int slot_;
  static inline std::function<void(HWND)> act_;
  UINT_PTR timer_;
};

class MainWindowTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { ASSERT_NO_FATAL_FAILURE(OpenMainWindow()); }
  static void TearDownTestSuite() { CloseMainWindow(); }
  void SetUp() override {
    SetForegroundWindow(g_hwndMain);
    SetFocus(g_hwndMain);
  }
};

TEST_F(MainWindowTest, CreatesEveryPaneAndBarAndPlacesThem) {
  ASSERT_NE(g_windowSlots[kSlotFileListPane], nullptr);
  ASSERT_NE(g_windowSlots[kSlotNavigationPane], nullptr);
  ASSERT_NE(g_windowSlots[kSlotMovieControls], nullptr);
  ASSERT_NE(g_statusBar, nullptr);
  ASSERT_NE(g_hwndRebar, nullptr);
  EXPECT_EQ(SendMessageW(g_hwndRebar, RB_GETBANDCOUNT, 0, 0), 7);
  for (HWND band : g_bandControls) EXPECT_NE(band, nullptr);
  EXPECT_EQ(MessageOwnerWindow, g_windowSlots[kSlotNavigationPane]);

  RECT client;
  GetClientRect(g_hwndMain, &client);
  const int T = GetRebarHeight();
  EXPECT_GT(T, 0);
  RECT status = ClientRectIn(g_statusBar, g_hwndMain);
  EXPECT_EQ(status.bottom, client.bottom);
  const int S = status.bottom - status.top;
  RECT nav = ClientRectIn(g_windowSlots[kSlotNavigationPane], g_hwndMain);
  RECT files = ClientRectIn(g_windowSlots[kSlotFileListPane], g_hwndMain);
  EXPECT_EQ(nav.left, 0);
  EXPECT_EQ(nav.right, 200);
  EXPECT_EQ(nav.top, T);
  EXPECT_EQ(files.left, 200);
  EXPECT_EQ(files.right, client.right);
  EXPECT_EQ(files.bottom, client.bottom - S);

  // View mode 3, split kind 0: list on top, the one pane below the splitter bar.
  HWND pane = g_windowSlots[kSlotFileListPane];
  RECT list = ClientRectIn(GetListControl(), pane), p1 = ClientRectIn(GetPaneControl(0), pane);
  EXPECT_EQ(list.bottom, 196);
  EXPECT_EQ(p1.top, 200);
  EXPECT_TRUE(IsWindowVisible(GetPaneControl(0)));
  EXPECT_FALSE(IsWindowVisible(GetPaneControl(1)));

  int edges[11] = {};
  ASSERT_EQ(SendMessageW(g_statusBar, SB_GETPARTS, 11, reinterpret_cast<LPARAM>(edges)), 11);
  EXPECT_EQ(edges[0], client.right - 761);
  EXPECT_EQ(edges[10], client.right);
}

TEST_F(MainWindowTest, ListAndTreesTakeTheColourSlots) {
  HWND list = GetListControl();
  HWND tree = GetDlgItem(g_windowSlots[kSlotNavigationPane], IDC_FOLDER_TREE);
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), slot[6]);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), slot[3]);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)), slot[2]);

  const uint32_t saved = g_settings.colorSlots[6];
  g_settings.colorSlots[6] = 0x123456;
  ApplyColorSettings();
  EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), 0x123456);
  g_settings.colorSlots[6] = saved;
  ApplyColorSettings();
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), slot[6]);
}

TEST_F(MainWindowTest, SplitLayoutChangeMovesPanesThatKeepTheirSize) {
  g_settings.splitLayout = 4;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  HWND pane = g_windowSlots[kSlotFileListPane];
  RECT a = ClientRectIn(GetPaneControl(0), pane), b = ClientRectIn(GetPaneControl(1), pane);
  RECT c = ClientRectIn(GetPaneControl(2), pane);
  EXPECT_EQ(b.left, a.right);
  EXPECT_EQ(c.top, a.bottom);
  // Layout 2 keeps the heights of layout 4's panes but moves pane 302 below pane 301.
  g_settings.splitLayout = 2;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  RECT a2 = ClientRectIn(GetPaneControl(0), pane), b2 = ClientRectIn(GetPaneControl(1), pane);
  EXPECT_EQ(b2.left, a2.left);
  EXPECT_EQ(b2.top, a2.bottom);
  EXPECT_FALSE(IsWindowVisible(GetPaneControl(2)));
  g_settings.splitLayout = 0;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
}

TEST_F(MainWindowTest, NavigationToggleMovesTheFileListToTheLeftEdge) {
  g_navigationToggleRequest = 1;
  Tick(2);
  EXPECT_EQ(g_treeHidden, 1);
  EXPECT_EQ(ClientRectIn(g_windowSlots[kSlotFileListPane], g_hwndMain).left, 0);
  g_navigationToggleRequest = 1;
  Tick(2);
  EXPECT_EQ(g_treeHidden, 0);
  EXPECT_EQ(ClientRectIn(g_windowSlots[kSlotFileListPane], g_hwndMain).left, 200);
}

TEST_F(MainWindowTest, FullScreenCoversTheDesktopAndComesBack) {
  const RECT before = ScreenRectOf(g_hwndMain);
  RECT desk;
  GetWindowRect(GetDesktopWindow(), &desk);
  g_fullScreenRequest = 1;
  Tick(3);
  EXPECT_EQ(FullScreenFlag, 1);
  RECT full = ScreenRectOf(g_hwndMain);
  EXPECT_TRUE(EqualRect(&full, &desk));
  EXPECT_EQ(GetWindowLongW(g_hwndMain, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(g_treeHidden, 1);  // entering full screen hides the tree
  EXPECT_EQ(AppliedCommandState(328), 1);
  // Settled: further ticks in full screen ask for no more layouts.
  OnIdleTimer(g_hwndMain);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, g_hwndMain, WM_SIZE, WM_SIZE, PM_NOREMOVE));
  Pump();

  g_fullScreenRequest = 1;
  Tick(3);
  EXPECT_EQ(FullScreenFlag, 0);
  RECT after = ScreenRectOf(g_hwndMain);
  EXPECT_TRUE(EqualRect(&after, &before));
  EXPECT_EQ(g_treeHidden, 0);
  EXPECT_NE(GetWindowLongW(g_hwndMain, GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(MainWindowTest, ThreeFolderSelectionsWithinTheDelayLoadOnlyTheLast) {
  // The load in these ticks may be the first: its start-up completion must find the settings of
  // this version, or it would open the version's settings page and wait for a user.
  g_settings.versionNumber = static_cast<float>(ParseVersionNumber(reinterpret_cast<const char16_t*>(g_programVersion), 100));
  g_newVersionFound = 0;
  PendingSettingsPage = -2;
  // The loaded-folder path changes only when a load runs.
  wcscpy(g_loadedFolderPath, L"none");
  for (const wchar_t* folder : {L"C:\\one", L"C:\\two", L"C:\\three"}) {
    wcscpy(g_selectedFolderPath, folder);
    RequestDelayedFolderOpen(1, 0);
    Tick(5);
    EXPECT_STREQ(g_loadedFolderPath, L"none");
  }
  Tick(20);
  EXPECT_STREQ(g_currentFolder, L"C:\\three");
  EXPECT_STREQ(g_loadedFolderPath, L"C:\\three");
}

// A folder named on the command line opens even when the settings keep the tree hidden: the
// program's own selection in the tree is not ignored like a user's in a hidden tree.
TEST_F(MainWindowTest, CommandLineFolderOpensWithTheTreeHidden) {
  const std::wstring folder = dir_->path();
  const uint8_t hidden = g_treeHidden;
  g_treeHidden = 1;
  wcscpy(g_selectedFolderPath, L"none");
  g_folderOpenDelay.pending = false;
  OpenCommandLineFolder((L"\"" + folder + L"\"").c_str());
  EXPECT_EQ(ComparePaths(g_selectedFolderPath, folder.c_str()), 0) << g_selectedFolderPath;
  EXPECT_TRUE(g_folderOpenDelay.pending);
  EXPECT_EQ(g_treeDrivenByCode, 0);
  g_folderOpenDelay.pending = false;
  g_treeHidden = hidden;
}

TEST_F(MainWindowTest, WheelAndStatusTextsGoThroughTheTick) {
  SendMessageW(g_hwndMain, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(g_nextImageRequest, 1);
  Tick();
  EXPECT_EQ(g_nextImageRequest, 0);
  SendMessageW(g_hwndMain, WM_MOUSEWHEEL, MAKEWPARAM(0, 10), 0);
  EXPECT_EQ(g_previousImageRequest, 0);

  // Counters of an empty list, pushed on the next tick.
  ShownEntry = -1;
  Tick();
  wchar_t text[64] = {};
  SendMessageW(g_statusBar, SB_GETTEXTW, 8, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\tFILE:0/0");
  SendMessageW(g_statusBar, SB_GETTEXTW, 7, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\tSIZE:0Byte");
  // The empty-list table reaches the toolbar.
  EXPECT_EQ(AppliedCommandState(336), 1);
  EXPECT_EQ(AppliedCommandState(216), 0);
  EXPECT_EQ(SendMessageW(CommandToolbar(), TB_ISBUTTONENABLED, 216, 0), 0);
  EXPECT_NE(SendMessageW(CommandToolbar(), TB_ISBUTTONENABLED, 302, 0), 0);
  EXPECT_NE(SendMessageW(CommandToolbar(), TB_ISBUTTONCHECKED, 302, 0), 0);  // pressed while the tree is shown
}

TEST_F(MainWindowTest, CommandsSentToTheRebarReachTheMainWindow) {
  // With the picture shown and the list hidden, the step waits for the idle loop.
  const int32_t mode = g_viewMode;
  g_viewMode = 2;
  g_previousImageRequest = 0;
  SendCommandThroughRebar(216);
  EXPECT_EQ(g_previousImageRequest, 1);
  g_previousImageRequest = 0;
  g_viewMode = mode;
  // A toolbar button of the rebar: its click travels the same way.
  SendMessageW(g_hwndRebar, WM_COMMAND, MAKEWPARAM(302, BN_CLICKED), reinterpret_cast<LPARAM>(CommandToolbar()));
  EXPECT_EQ(g_navigationToggleRequest, 1);
  g_navigationToggleRequest = 0;
}

TEST_F(MainWindowTest, SizingKeepsTheMinimumWidthOfTheNavigationPane) {
  RECT r{500, 0, 700, 400};
  SendMessageW(g_hwndMain, WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right - r.left, 210);
  EXPECT_EQ(r.right, 700);
  ListSplitHeight() = 50;
  RECT big{0, 0, 1000, 800};
  SendMessageW(g_hwndMain, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&big));
  EXPECT_EQ(ListSplitHeight(), 64);
  ListSplitHeight() = 200;
}

TEST_F(MainWindowTest, PaneWheelOverTheListHandsItTheFocus) {
  g_viewMode = 3;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  HWND list = GetListControl(), pane = GetPaneControl(0);
  RECT lr = ScreenRectOf(list);
  SetCursorPos((lr.left + lr.right) / 2, (lr.top + lr.bottom) / 2);
  SetFocus(pane);
  EXPECT_EQ(SendMessageW(pane, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0), 1);
  EXPECT_EQ(GetFocus(), list);

  // Edge and histogram zones of the pane under the cursor.
  RECT pc;
  GetClientRect(pane, &pc);
  POINT origin{0, 0};
  ClientToScreen(pane, &origin);
  SetCursorPos(origin.x + pc.right / 2, origin.y + 5);
  EXPECT_TRUE(IsOverPaneEdgeZone());
  SetCursorPos(origin.x + pc.right / 2, origin.y + pc.bottom / 2);
  EXPECT_FALSE(IsOverPaneEdgeZone());
  g_settings.histogramOnMainScreen = 1;
  g_settings.histogramMode = 2;
  g_histogramCacheMode = 0;
  SetCursorPos(origin.x + pc.right - 20, origin.y + pc.bottom - 20);
  EXPECT_TRUE(IsOverHistogramZone());
  EXPECT_EQ(g_histogramCacheMode, 2);
  SetCursorPos(origin.x + pc.right / 2, origin.y + pc.bottom / 2);
  EXPECT_FALSE(IsOverHistogramZone());
  EXPECT_EQ(g_histogramCacheMode, 0);
}

// The pane's own mouse move switches the large histogram on over a pane's small one; the idle
// loop then grants the histogram budget once the cursor row has stayed 25 ticks, and again after
// every new hover.
TEST_F(MainWindowTest, HoveringTheSmallHistogramGrantsTheLargeOneAfterItSettles) {
  g_viewMode = 3;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  HWND pane = GetPaneControl(0), filePane = g_windowSlots[kSlotFileListPane];
  RECT pc;
  GetClientRect(pane, &pc);
  POINT origin{0, 0};
  ClientToScreen(pane, &origin);
  g_settings.histogramOnMainScreen = 1;
  g_settings.histogramMode = 2;
  g_histogramCacheMode = 0;
  // A folder load the start left pending would start the count again (and its once-only step
  // may ask for the settings dialog, which would wait for a user).
  g_folderOpenDelay.pending = false;
  g_startupCompletionWindow = nullptr;
  PendingSettingsPage = -2;
  auto moveTo = [&](int x, int y) {
    SetCursorPos(origin.x + x, origin.y + y);
    POINT p{origin.x + x, origin.y + y};
    ScreenToClient(filePane, &p);
    SendMessageW(filePane, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  };
  for (int round = 0; round < 2; ++round) {
    moveTo(pc.right - 20, pc.bottom - 20);
    EXPECT_EQ(g_histogramCacheMode, 2) << round;
    g_histogramBudget = 0;
    int ticks = 0;
    for (; ticks < 40 && g_histogramBudget == 0; ++ticks) Tick();
    EXPECT_EQ(g_histogramBudget, CurrentPaneCount()) << round;
    EXPECT_GE(ticks, 25) << round;  // a new row or a new hover counts from the start
    moveTo(pc.right / 2, pc.bottom / 2);
    EXPECT_EQ(g_histogramCacheMode, 0) << round;
  }
  g_histogramBudget = 0;
}

// With no rows the panes are painted by the user-interface thread: whatever was on them goes,
// whether the file-list pane or the panel itself is repainted.
TEST_F(MainWindowTest, AnEmptyListBlanksThePanes) {
  ASSERT_EQ(g_listCount, 0);
  g_viewMode = 3;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  HWND pane = GetPaneControl(0), filePane = g_windowSlots[kSlotFileListPane];
  const COLORREF background = g_settings.colorSlots[19] & 0xFFFFFF;
  const COLORREF red = background == RGB(255, 0, 0) ? RGB(0, 255, 0) : RGB(255, 0, 0);
  for (HWND repainted : {filePane, pane}) {
    HDC dc = GetDC(pane);
    HBRUSH brush = CreateSolidBrush(red);
    RECT r{0, 0, 40, 40};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ASSERT_EQ(GetPixel(dc, 5, 5), red);
    RedrawWindow(repainted, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(GetPixel(dc, 5, 5), background) << (repainted == pane ? "panel" : "file-list pane");
    ReleaseDC(pane, dc);
  }
}

// The slideshow's requests served by the idle loop itself: the view, full screen and the tree
// come back to what they were.
TEST_F(MainWindowTest, SlideshowRestoresViewFullScreenAndTree) {
  struct Case {
    int32_t view;
    uint8_t full, treeHidden;
  } cases[] = {{1, 0, 0}, {2, 1, 1}, {2, 0, 1}};
  g_folderOpenDelay.pending = false;
  g_startupCompletionWindow = nullptr;
  PendingSettingsPage = -2;
  const RECT before = ScreenRectOf(g_hwndMain);
  for (const Case& c : cases) {
    g_viewMode = c.view;
    if (FullScreenFlag != c.full) {
      g_fullScreenRequest = 1;
      Tick(3);
    }
    if (g_treeHidden != c.treeHidden) {
      g_navigationToggleRequest = 1;
      Tick(2);
    }
    ASSERT_EQ(FullScreenFlag, c.full);
    ASSERT_EQ(g_treeHidden, c.treeHidden);
    StartSlideshow();
    EXPECT_EQ(SlideshowRunning, 1);
    StartSlideshow();  // already running: nothing more
    Tick(3);
    EXPECT_NE(g_viewMode & 2, 0);
    EXPECT_EQ(FullScreenFlag, 1);
    EXPECT_EQ(g_treeHidden, 1);
    StopSlideshow(0, 0);
    EXPECT_EQ(SlideshowRunning, 0);
    StopSlideshow(0, 0);
    Tick(3);
    EXPECT_EQ(g_viewMode & 2, c.view & 2) << c.view;
    EXPECT_EQ(FullScreenFlag, c.full);
    EXPECT_EQ(g_treeHidden, c.treeHidden);
  }
  if (FullScreenFlag) {
    g_fullScreenRequest = 1;
    Tick(3);
  }
  if (g_treeHidden) {
    g_navigationToggleRequest = 1;
    Tick(2);
  }
  RECT after = ScreenRectOf(g_hwndMain);
  EXPECT_TRUE(EqualRect(&after, &before));
  // Stopped before the idle loop served the start: nothing is left to toggle.
  StartSlideshow();
  StopSlideshow(0, 0);
  EXPECT_EQ(g_toggleViewRequest | g_fullScreenRequest | g_navigationToggleRequest, 0);
  g_viewMode = 3;
}

TEST_F(MainWindowTest, StatusTextsArePushedOnlyWhenChanged) {
  wchar_t text[64] = {};
  SetStatusPartText(4, L"\tLISTVIEW");
  PushStatusTexts();
  SendMessageW(g_statusBar, SB_GETTEXTW, 4, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\tLISTVIEW");
  // Unchanged pending text: nothing is sent, so a text put there directly stays.
  SendMessageW(g_statusBar, SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(L"other"));
  SetStatusPartText(4, L"\tLISTVIEW");
  PushStatusTexts();
  SendMessageW(g_statusBar, SB_GETTEXTW, 4, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"other");
  SetStatusPartText(4, L"\tFIT MODE");
  PushStatusTexts();
  SendMessageW(g_statusBar, SB_GETTEXTW, 4, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\tFIT MODE");
}

TEST_F(MainWindowTest, IconListsAndThumbnailPlaceholders) {
  int cx = 0, cy = 0;
  ASSERT_NE(g_favouriteIcons, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(g_favouriteIcons), 2);
  ImageList_GetIconSize(g_favouriteIcons, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(ImageList_GetImageCount(g_commandIcons), 56);
  EXPECT_EQ(ImageList_GetImageCount(g_bandIcons), 7);
  ImageList_GetIconSize(g_listThreadIcons, &cx, &cy);
  EXPECT_EQ(cx, 15);
  EXPECT_EQ(cy, 10);
  for (HBITMAP b : g_buttonBitmaps) EXPECT_NE(b, nullptr);
  EXPECT_NE(g_menuIconStrip, nullptr);

  struct Case {
    int entries;
    uint8_t stop;
    int small, large;  // -1: the list does not exist
  } cases[] = {{3, 0, 6, 3}, {0, 0, 0, 0}, {3, 1, 0, -1}};
  for (const Case& c : cases) {
    g_entryCount = c.entries;
    g_listThreadStopRequest = c.stop;
    CreateThumbnailImageLists();
    ASSERT_NE(g_smallThumbnailList, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(g_smallThumbnailList), c.small);
    if (c.large < 0) {
      EXPECT_EQ(g_largeThumbnailList, nullptr);
    } else {
      ASSERT_NE(g_largeThumbnailList, nullptr);
      EXPECT_EQ(ImageList_GetImageCount(g_largeThumbnailList), c.large);
      ImageList_GetIconSize(g_largeThumbnailList, &cx, &cy);
      EXPECT_EQ(cx, 88);
      EXPECT_EQ(cy, 60);
    }
  }
  g_listThreadStopRequest = 0;
  g_settings.colorSlots[10] = RGB(200, 200, 200);  // the placeholder's ground and its "?"
  g_settings.colorSlots[6] = RGB(0, 0, 255);
  g_entryCount = 2;
  CreateThumbnailImageLists();  // written into the lists' bitmaps
  DrawThumbnailPlaceholders();  // one more of each through an add
  EXPECT_EQ(ImageList_GetImageCount(g_smallThumbnailList), 5);
  EXPECT_EQ(ImageList_GetImageCount(g_largeThumbnailList), 3);
  // Both ways give the same pixels.
  for (HIMAGELIST list : {g_smallThumbnailList, g_largeThumbnailList}) {
    const int last = ImageList_GetImageCount(list) - 1;
    std::vector<uint32_t> pictures[2];
    for (int k = 0; k < 2; ++k) {
      int w = 0, h = 0;
      ImageList_GetIconSize(list, &w, &h);
      HDC screen = GetDC(nullptr), to = CreateCompatibleDC(screen);
      HBITMAP copy = CreateCompatibleBitmap(screen, w, h);
      HGDIOBJ oldTo = SelectObject(to, copy);
      EXPECT_TRUE(ImageList_Draw(list, k == 0 ? 0 : last, to, 0, 0, ILD_NORMAL));
      SelectObject(to, oldTo);
      BITMAPINFO format{};
      format.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
      pictures[k].resize(static_cast<size_t>(w * h));
      EXPECT_EQ(GetDIBits(to, copy, 0, h, pictures[k].data(), &format, DIB_RGB_COLORS), h);
      DeleteObject(copy);
      DeleteDC(to);
      ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_GT(std::set<uint32_t>(pictures[0].begin(), pictures[0].end()).size(), 1u);  // the "?" is drawn
  }
  g_entryCount = 0;
  FreeThumbnailImageLists();
  EXPECT_EQ(g_smallThumbnailList, nullptr);
  EXPECT_EQ(ColorRefToArgb(RGB(1, 2, 3)), 0xFF010203u);
}

TEST_F(MainWindowTest, AboutDialogAndTheNewVersionNotice) {
  g_settings.notifyNewVersion = 1;
  std::wstring line;
  {
    SlotDriver drive(kSlotAbout, [&](HWND d) {
      line = WindowText(GetDlgItem(d, IDC_VERSION_LINE));
      CheckDlgButton(d, IDC_NOTIFY_NEW_VERSION, BST_UNCHECKED);
      PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(g_hwndMain, WM_COMMAND, IDM_ABOUT, 0);
  }
  EXPECT_EQ(line, L"Brannomere Ver" + std::wstring(g_programVersion));
  EXPECT_EQ(g_settings.notifyNewVersion, 0);  // the start-up check is off from now on
  EXPECT_EQ(g_windowSlots[kSlotAbout], nullptr);

  // The start-up completion shows the notice once the list is built, and only once.
  wcscpy(g_publishedVersion, L"5.80");
  g_newVersionFound = 1;
  g_startupCompletionWindow = g_hwndMain;
  const uint8_t built = g_listBuilt;
  g_listBuilt = 1;
  std::wstring notice[2];
  int shown = 0;
  {
    SlotDriver drive(kSlotAbout, [&](HWND d) {
      ++shown;
      notice[0] = WindowText(GetDlgItem(d, IDC_VERSION_LINE));
      notice[1] = WindowText(GetDlgItem(d, IDC_NOTICE_LINE));
      CheckDlgButton(d, IDC_NOTIFY_NEW_VERSION, BST_CHECKED);
      PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    Tick(2);
  }
  g_listBuilt = built;
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(notice[0], L"Brannomere Ver5.80 を公開。");
  EXPECT_EQ(notice[1], L"すぐ最新版にアップグレードしてください。");
  EXPECT_EQ(g_newVersionFound, 0);
  EXPECT_EQ(g_settings.notifyNewVersion, 1);
}

TEST_F(MainWindowTest, KeyGuideOpensOnceAndPaintsItsPicture) {
  SendMessageW(g_hwndMain, WM_COMMAND, 32779, 0);
  HWND guide = g_windowSlots[kSlotKeyGuide];
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(IsWindowVisible(guide));
  EXPECT_EQ(GetWindow(guide, GW_OWNER), g_hwndMain);
  SendMessageW(g_hwndMain, WM_COMMAND, 129, 0);  // the navigation pane's way to the same command
  EXPECT_EQ(g_windowSlots[kSlotKeyGuide], guide);
  static int guides;
  guides = 0;
  EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
    if (WindowText(w) == L"キーボード・マウス操作説明") ++guides;
    return TRUE;
  }, 0);
  EXPECT_EQ(guides, 1);

  SetForegroundWindow(guide);
  RedrawWindow(guide, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  RECT client;
  GetClientRect(guide, &client);
  std::set<COLORREF> colours;
  HDC dc = GetDC(guide);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      colours.insert(GetPixel(dc, client.right * (2 * x + 1) / 32, client.bottom * (2 * y + 1) / 16));
  ReleaseDC(guide, dc);
  EXPECT_GT(colours.size(), 2u);

  SendMessageW(guide, WM_CLOSE, 0, 0);
  EXPECT_EQ(g_windowSlots[kSlotKeyGuide], nullptr);
  EXPECT_FALSE(IsWindow(guide));
}

TEST_F(MainWindowTest, MediaSplitAndReplaceRenameAskFirst) {
  const int32_t rows = g_listCount;
  const uint8_t ready = g_listReadyFlag;
  g_listCount = 1;
  g_listReadyFlag = 1;

  g_splitInformation = 0;
  {
    BoxAnswerer ok(IDOK);
    SendMessageW(g_hwndMain, WM_COMMAND, 307, 0);
    ASSERT_EQ(ok.seen.size(), 1u);
    EXPECT_EQ(ok.seen[0].caption, L"Brannomere");
    EXPECT_EQ(ok.seen[0].text,
              L"メディア容量分割に必要な情報がありません。\nメディア容量分割計算を実行し分割情報を作成してください。");
  }
  // Twenty media: sixteen folder lines, then the rest left out. No keeps the split for later.
  g_splitInformation = 1;
  MediaCount = 20;
  {
    BoxAnswerer no(IDNO);
    SendMessageW(g_hwndMain, WM_COMMAND, 307, 0);
    ASSERT_EQ(no.seen.size(), 1u);
    std::wstring expected = L"メディア容量に合わせ下記の要領で20個のサブフォルダにファイルを振分けます。\n\n";
    for (int n = 1; n <= 16; ++n) {
      wchar_t folder[32];
      swprintf(folder, 32, L".\\media%02d\n", n);
      expected += folder;
    }
    expected += L"以下略...\n\n処理を実行してもよろしいですか？";
    EXPECT_EQ(no.seen[0].text, expected);
    EXPECT_EQ(no.seen[0].defaultId, IDNO);
  }
  EXPECT_EQ(g_splitInformation, 1);
  g_splitInformation = 0;
  MediaCount = 1;

  // Replace-rename: without an old text the rename page is asked for; with one the question
  // offers the settings first, and that answer asks again after them.
  g_settings.replaceRenameOld[0] = 0;
  {
    BoxAnswerer ok(IDOK);
    SendMessageW(g_hwndMain, WM_COMMAND, 32797, 0);
    ASSERT_EQ(ok.seen.size(), 1u);
    EXPECT_EQ(ok.seen[0].text,
              L"一括置換リネームに必要な置換文字列が設定されていません\n\n リネーム設定で文字列を指定してください。");
  }
  EXPECT_EQ(PendingSettingsPage, 9);
  PendingSettingsPage = -2;
  wcscpy(reinterpret_cast<wchar_t*>(g_settings.replaceRenameOld), L"DSC");
  wcscpy(reinterpret_cast<wchar_t*>(g_settings.replaceRenameNew), L"trip_");
  {
    BoxAnswerer settingsFirst(IDYES);
    SendMessageW(g_hwndMain, WM_COMMAND, 32797, 0);
    ASSERT_EQ(settingsFirst.seen.size(), 1u);
    EXPECT_EQ(settingsFirst.seen[0].text,
              L"フォルダ内の画像ファイルを一括置換リネームしますがよろしいですか？\n\n 置換リネーム設定 : "
              L"ファイル名にある文字列 [ DSC ] を 新文字列 [ trip_ ] に置換リネームします。");
    EXPECT_EQ(settingsFirst.seen[0].buttons[0], L"設定確認(&E)");
  }
  EXPECT_EQ(PendingSettingsPage, 9);
  EXPECT_EQ(PendingCommand, 32797);
  EXPECT_EQ(PendingCommandWindow, g_hwndMain);
  PendingSettingsPage = -2;
  PendingCommand = 0;
  PendingCommandWindow = nullptr;
  g_settings.replaceRenameOld[0] = g_settings.replaceRenameNew[0] = 0;

  g_listCount = rows;
  g_listReadyFlag = ready;
}

}  // namespace
