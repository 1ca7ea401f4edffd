#include "browser/main_window.h"
#include "viewer/viewer_threads.h"
#include "metadata/file_info_window.h"
#include "browser/navigation_pane.h"

#include "browser/tooltips.h"

#include <commctrl.h>
#include <initializer_list>
#include <cwchar>

#include "browser/browse_panes.h"
#include "browser/hover_popups.h"
#include "browser/file_list_pane.h"
#include "browser/main_commands.h"
#include "browser/icon_lists.h"
#include "browser/idle_loop.h"
#include "browser/pure/main_layout.h"
#include "browser/rebar_bands.h"
#include "browser/status_bar.h"
#include "browser/toolbar_state.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "browser/menus.h"
#include "browser/numlock.h"
#include "viewer/movie_player.h"
#include "resources/resource.h"


int32_t& NavigationWidth() { return g_splitterPositions[0]; }
int32_t& ListSplitHeight() { return g_splitterPositions[1]; }
int32_t& ListSplitWidth() { return g_splitterPositions[2]; }

namespace {
WNDPROC g_previousRebarProc = nullptr;
uint8_t g_closeGuard = 0;
uint8_t g_sizeMoveFlag = 1;
int32_t g_lastRebarHeight = 0;

HWND Slot(int slot) { return g_windowSlots[slot]; }
HWND NavChild(int id) { return ChildOfSlot(kSlotNavigationPane, id); }

bool IsShown(HWND w) { return w && (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE); }
int32_t WindowHeight(HWND w) {
  RECT r;
  return (w && GetWindowRect(w, &r)) ? r.bottom - r.top : 0;
}
bool DockedMode() { return g_settings.fileInfoDockInTree == 1; }
bool AnyRebarComboDropped() {
  for (int id : {1, 2, 4})
    if (g_bandControls[id] && SendMessageW(g_bandControls[id], CB_GETDROPPEDSTATE, 0, 0)) return true;
  return false;
}

void MoveRect(HWND w, const LayoutRect& r, BOOL repaint) {
  if (w) MoveWindowIfChanged(w, r.x, r.y, r.w, r.h, repaint);
}

// Full screen: bars appear only where the cursor asks for them, while the list is hidden.
void ApplyFullScreenBars() {
  if (!FullScreenFlag) return;
  bool rebarShown = true, statusShown = true;
  if (!(g_viewMode & 1)) {
    if (g_mouseCaptured) return;
    WantedFullScreenBars(&rebarShown, &statusShown);
  }
  if (g_hwndRebar) ShowWindow(g_hwndRebar, rebarShown ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (g_statusBar) ShowWindow(g_statusBar, statusShown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void SetPaneBorders(bool borderless) {
  for (int k = 0; k < kMaxPanes; ++k) {
    HWND pane = GetPaneControl(k);
    if (!pane) continue;
    LONG ex = GetWindowLongW(pane, GWL_EXSTYLE);
    LONG want = borderless ? (ex & ~WS_EX_STATICEDGE) : (ex | WS_EX_STATICEDGE);
    if (want != ex) {
      SetWindowLongW(pane, GWL_EXSTYLE, want);
      SetWindowPos(pane, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    ShowWindow(pane, SW_HIDE);
  }
}

void PlaceWindowAtStart(HWND window) {
  RECT desk;
  GetClientRect(GetDesktopWindow(), &desk);
  bool isDefault = false;
  LayoutRect saved{g_settings.windowLeft, g_settings.windowTop, g_settings.windowWidth, g_settings.windowHeight};
  LayoutRect r = ClampWindowPlacement(saved, desk.right - desk.left, desk.bottom - desk.top, &isDefault);
  if (isDefault) {
    g_settings.windowLeft = r.x;
    g_settings.windowTop = r.y;
    g_settings.windowWidth = r.w;
    g_settings.windowHeight = r.h;
  }
  MoveWindow(window, r.x, r.y, r.w, r.h, TRUE);
}

void InitSplitter(int32_t& value) {
  if (value == 0) value = 200;
}

LRESULT OnCreate(HWND window) {
  LoadIconImageLists();
  g_hwndMain = window;
  if (g_settings.numLockOnAtStart) TurnNumLockOn();
  CreateRebarBands(window);
  CreateStatusBar(window, g_hInstance);
  if (!Slot(kSlotNavigationPane))
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_NAVIGATION_PANE), window, NavigationPaneDlgProc, 0);
  if (!Slot(kSlotFileListPane))
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_FILE_LIST_PANE), window, FileListPaneDlgProc, 0);
  g_previewPopup = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_PREVIEW_POPUP), window, PreviewPopupDlgProc, 0);
  g_histogramPopup = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_HISTOGRAM_POPUP), window, HistogramPopupDlgProc, 0);
  CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_MOVIE_CONTROLS), window, MovieControlDialogProc, 0);

  PlaceWindowAtStart(window);
  if (g_settings.wasFullScreen == 1)
    g_fullScreenRequest = 1;
  else if (g_settings.wasMaximized == 1)
    PostMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);

  InitSplitter(NavigationWidth());
  InitSplitter(ListSplitHeight());
  InitSplitter(ListSplitWidth());
  g_listStyleValue = g_settings.listStyle;
  if (g_listStyleValue != 1 && Slot(kSlotFileListPane))
    SendMessageW(Slot(kSlotFileListPane), WM_COMMAND, kStyleToggleCommand, 0);

  if (g_hwndRebar)
    g_previousRebarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_hwndRebar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassRebarProc)));

  MessageOwnerWindow = Slot(kSlotNavigationPane);
  g_tempCaption = 0;
  if (Slot(kSlotNavigationPane)) SendMessageW(Slot(kSlotNavigationPane), WM_COMMAND, kRefreshCommand, 0);
  SetTimer(window, kIdleTimerId, 2, nullptr);
  UpdateToolbarButtons(31);
  return 0;
}

void OnClose(HWND window) {
  if (g_closeGuard) return;
  g_closeGuard = 1;
  BeginShutDown();  // from here on no wait for a worker holds the process up
  KillTimer(window, kIdleTimerId);
  RestoreNumLock();
  g_settings.cleanExit = 1;
  SaveSettingsFile();
  StopThumbnailListThread();  // it talks to the list about to go
  StopViewerThreads();        // they paint into the panes and the status bar about to go
  if (Slot(kSlotFileListPane)) ShowWindow(Slot(kSlotFileListPane), SW_HIDE);
  if (Slot(kSlotNavigationPane)) {
    ShowWindow(Slot(kSlotNavigationPane), SW_HIDE);
    DestroyWindow(Slot(kSlotNavigationPane));
  }
  if (Slot(kSlotFileListPane)) DestroyWindow(Slot(kSlotFileListPane));
  DestroyWindow(window);
}

void OnSizing(WPARAM edge, RECT* r) {
  int32_t left = r->left, top = r->top, right = r->right, bottom = r->bottom;
  ClampSizingRect(&left, &top, &right, &bottom, static_cast<int32_t>(edge), NavigationWidth());
  *r = RECT{left, top, right, bottom};
  RECT client;
  if (Slot(kSlotFileListPane) && GetClientRect(Slot(kSlotFileListPane), &client)) {
    ListSplitHeight() = ClampListSplit(ListSplitHeight(), client.bottom);
    ListSplitWidth() = ClampListSplit(ListSplitWidth(), client.right);
  }
}

void OnHScroll(LPARAM lParam, WPARAM wParam) {
  if (reinterpret_cast<HWND>(lParam) != g_bandControls[3] || !g_bandControls[3]) return;
  const int code = LOWORD(wParam);
  if ((g_viewMode & 2) && code != TB_PAGEUP && code != TB_PAGEDOWN && code != TB_THUMBTRACK) return;
  const int32_t row = static_cast<int32_t>(SendMessageW(g_bandControls[3], TBM_GETPOS, 0, 0)) - 1;
  if (row < 0 || row >= g_listCount) return;
  g_cursorRow = row;
  if (g_viewMode & 1) SelectCurrentEntryRow();
  if (g_viewMode & 2) {
    SyncListSelectionWithView();
    g_redrawFlag = 1;
  }
}

void OnNotify(NMHDR* header) {
  if (header->code == TTN_GETDISPINFOW) {
    AnswerToolbarTooltip(header);
  } else if (header->code == RBN_HEIGHTCHANGE && header->hwndFrom == g_hwndRebar) {
    g_relayoutFlag = 1;
  }
}

// Requests raised by the toolbar commands the idle loop serves; the rest of the command
// handler lives with the commands themselves.
}  // namespace


int32_t GetRebarHeight() { return IsShown(g_hwndRebar) ? WindowHeight(g_hwndRebar) : 0; }

bool MoveWindowIfResized(HWND window, int x, int y, int width, int height, BOOL repaint) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  if (r.right - r.left == width && r.bottom - r.top == height) return false;
  return MoveWindow(window, x, y, width, height, repaint) != FALSE;
}

bool MoveWindowIfChanged(HWND window, int x, int y, int width, int height, BOOL repaint) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  POINT target{x, y};
  if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
    ClientToScreen(parent, &target);
  if (r.left == target.x && r.top == target.y && r.right - r.left == width && r.bottom - r.top == height) return false;
  return MoveWindow(window, x, y, width, height, repaint) != FALSE;
}

void WantedFullScreenBars(bool* rebarShown, bool* statusShown) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(g_hwndMain, &p);
  RECT client{};
  GetClientRect(g_hwndMain, &client);
  *rebarShown = p.y < g_lastRebarHeight || !g_treeHidden || AnyRebarComboDropped();
  *statusShown = p.y > client.bottom - 16;
}

void LayoutMainWindow(int32_t W, int32_t H) {
  ApplyFullScreenBars();
  HWND fileList = Slot(kSlotFileListPane), nav = Slot(kSlotNavigationPane);
  if (fileList) ShowWindow(fileList, SW_HIDE);
  if (nav) ShowWindow(nav, SW_HIDE);

  int32_t dockedHeight = 0;
  HWND info = Slot(kSlotFileInfo);
  const bool dockedPaneInSlot = info && nav && GetParent(info) == nav;
  if (g_settings.fileInfoDockInTree == 1 && g_settings.fileInfoDocked == 1 && (!info || dockedPaneInSlot)) {
    dockedHeight = kDockedInfoHeight;
    if (info) ShowWindow(info, SW_HIDE);
  }
  const bool viewerOnlyFull = FullScreenFlag && g_viewMode == 2;
  SetPaneBorders(viewerOnlyFull && CurrentPaneCount() == 1);
  UpdateToolbarButtons(1);

  const int32_t S = IsShown(g_statusBar) ? WindowHeight(g_statusBar) : 0;
  if (S) MoveRect(g_statusBar, LayoutRect{0, H - S, W, S}, TRUE);
  const int32_t T = GetRebarHeight();
  if (T) {
    MoveWindowIfChanged(g_hwndRebar, 0, 0, W, T, TRUE);
    g_lastRebarHeight = GetRebarHeight();
  }

  MainLayoutInput in{};
  in.clientW = W;
  in.clientH = H;
  in.rebarH = GetRebarHeight();
  in.statusH = S;
  in.navigationWidth = NavigationWidth();
  in.uiScale = g_uiScale;
  in.navigationShown = !g_treeHidden;
  in.fullScreen = FullScreenFlag != 0;
  in.viewMode = g_viewMode;
  in.thumbSplitKind = g_settings.thumbnailSplitKind;
  in.listSplitHeight = ListSplitHeight();
  in.listSplitWidth = ListSplitWidth();
  in.dockedHeight = dockedHeight;
  const MainLayout L = ComputeMainLayout(in);

  MoveRect(fileList, L.fileListPane, TRUE);
  MoveRect(nav, L.navigationPane, TRUE);
  HWND folderTree = NavChild(IDC_FOLDER_TREE), collectionTree = NavChild(IDC_COLLECTION_TREE);
  if (!g_treeHidden) {
    MoveRect(NavChild(IDC_NAVIGATION_TAB), L.navigationTab, TRUE);
    MoveRect(GetActiveTree(), L.navigationTree, TRUE);
    if (dockedHeight) {
      if (!Slot(kSlotFileInfo) && nav) {
        CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_DOCKED_FILE_INFO), nav, FileInfoWindowProc,
                           g_settings.fileInfoDockPosition);
      }
      MoveRect(Slot(kSlotFileInfo), L.dockedInfo, TRUE);
    }
  } else {
    MoveRect(folderTree, L.navigationTree, TRUE);
    if (DockedMode() && Slot(kSlotFileInfo) && GetParent(Slot(kSlotFileInfo)) == nav) DestroyWindow(Slot(kSlotFileInfo));
  }

  HWND list = GetListControl();
  if (L.listPlaced && list) {
    // Side-by-side splits move the list without resizing it; any change must be applied.
    MoveWindowIfChanged(list, L.list.x, L.list.y, L.list.w, L.list.h, TRUE);
  }
  if (L.panesPlaced) LayoutViewerPanes(L.panes.x, L.panes.y, L.panes.w, L.panes.h);

  if (g_viewMode == 1) {
    if (list) ShowWindow(list, SW_SHOW);
  } else {
    for (int k = 0; k < CurrentPaneCount(); ++k)
      if (HWND pane = GetPaneControl(k)) ShowWindow(pane, SW_SHOWNOACTIVATE);
    if (list) ShowWindow(list, g_viewMode == 3 ? SW_SHOW : SW_HIDE);
  }
  if (folderTree) ShowWindow(folderTree, g_listSource == 1 ? SW_HIDE : SW_SHOW);
  if (collectionTree) ShowWindow(collectionTree, g_listSource == 1 ? SW_SHOW : SW_HIDE);
  if (dockedHeight == kDockedInfoHeight && Slot(kSlotFileInfo)) {
    ShowWindow(Slot(kSlotFileInfo), SW_SHOW);
    if (Slot(kSlotInfoTabPreview)) InvalidateRect(Slot(kSlotInfoTabPreview), nullptr, TRUE);
  } else if (DockedMode() && Slot(kSlotFileInfo)) {
    ShowWindow(Slot(kSlotFileInfo), SW_HIDE);
  }
  if (fileList) ShowWindow(fileList, SW_SHOWNOACTIVATE);
  if (nav) ShowWindow(nav, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK SubclassRebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONDOWN) {
    PrepareToolPopup();
    if (HMENU popup = g_menus[1]) {
      POINT p;
      GetCursorPos(&p);
      TrackPopupMenu(popup, TPM_LEFTBUTTON, p.x, p.y, 0, window, nullptr);
    }
  }
  // The position slider is a band child: its scroll messages reach the rebar, not the main window.
  if (message == WM_HSCROLL && g_hwndMain) SendMessageW(g_hwndMain, message, wParam, lParam);
  return CallWindowProcW(g_previousRebarProc, window, message, wParam, lParam);
}

void CollectWindowSettings() {
  if (!g_hwndMain || !IsWindow(g_hwndMain)) return;
  g_settings.wasMaximized = IsZoomed(g_hwndMain) ? 1 : 0;
  g_settings.wasFullScreen = FullScreenFlag;
  if (!IsIconic(g_hwndMain) && g_settings.wasMaximized != 1 && g_settings.wasFullScreen != 1) {
    RECT r;
    GetWindowRect(g_hwndMain, &r);
    g_settings.windowLeft = r.left;
    g_settings.windowTop = r.top;
    g_settings.windowWidth = r.right - r.left;
    g_settings.windowHeight = r.bottom - r.top;
  }
  g_settings.listStyle = g_listStyleValue;
  if (g_hwndRebar) {
    const int count = static_cast<int>(SendMessageW(g_hwndRebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count && i < 7; ++i) {
      REBARBANDINFOW band{};
      band.cbSize = REBARBANDINFOW_V3_SIZE;
      band.fMask = RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID;
      if (!SendMessageW(g_hwndRebar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band))) continue;
      g_settings.bandLayout[i].bandId = static_cast<int32_t>(band.wID);
      g_settings.bandLayout[i].breakFlag = (band.fStyle & RBBS_BREAK) ? 1 : 0;
      g_settings.bandLayout[i].width = static_cast<int32_t>(band.cx);
    }
  }
  HWND list = GetListControl();
  if (list && (GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT) {
    int order[24];
    if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, 24, reinterpret_cast<LPARAM>(order)))
      for (int i = 0; i < 24; ++i) g_settings.columnOrder[i] = order[i];
    for (int i = 0; i < 24; ++i)
      if (g_settings.columnShown[i] == 1)
        g_settings.columnWidths[i] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_CLOSE:
      OnClose(window);
      return 1;
    case WM_DESTROY:
      FreeIconImageLists();
      FreeThumbnailImageLists();
      g_hwndMain = nullptr;
      PostQuitMessage(0);
      return 1;
    case WM_SIZE: {
      if (LOWORD(lParam) != 0) SetStatusPartEdges(LOWORD(lParam));
      RECT client;
      GetClientRect(window, &client);
      LayoutMainWindow(client.right, client.bottom);
      break;
    }
    case WM_SIZING:
      OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_PAINT:
      if (IsOwnWindowInFront() && !g_labelEditActive) g_focusRestoreRequest = 1;
      break;
    case WM_ERASEBKGND:
      return 0;
    case WM_DRAWITEM:
      DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return 1;
    case WM_MEASUREITEM:
      MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return 1;
    case WM_NOTIFY:
      OnNotify(reinterpret_cast<NMHDR*>(lParam));
      return 0;
    case WM_COMMAND:
      if (RunMainCommand(window, wParam, lParam)) return 0;
      break;
    case WM_TIMER:
      OnIdleTimer(window);
      return 0;
    case WM_HSCROLL:
      OnHScroll(lParam, wParam);
      return 0;
    case WM_INITMENU:
      UpdateMainMenuState();
      return 0;
    case WM_MOUSEWHEEL:
      HandleMouseWheel(wParam);
      return 0;
    case WM_ENTERSIZEMOVE:
      g_sizeMoveFlag = 0;
      return 0;
    case WM_EXITSIZEMOVE:
      g_sizeMoveFlag = 1;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = g_windowClassName;
  return RegisterClassExW(&wc);
}

uint8_t CreateMainWindow(HINSTANCE instance, int showCommand) {
  wchar_t title[256];
  swprintf(title, 256, L"%ls Ver%ls", g_productName, g_programVersion);
  HWND window = CreateWindowExW(0, g_windowClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}
