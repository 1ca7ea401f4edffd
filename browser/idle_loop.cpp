// The idle timer's tick: one named step per request it serves, called in a fixed order.
#include "browser/idle_loop.h"
#include "browser/drag_feedback.h"
#include "browser/file_list_pane.h"

#include "metadata/file_info_window.h"
#include "metadata/image_info_win.h"

#include <commctrl.h>
#include <initializer_list>
#include <cwchar>

#include "browser/about_dialogs.h"
#include "browser/browser_hooks.h"
#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "browser/status_bar.h"
#include "browser/toolbar_state.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "browser/navigation_pane.h"
#include "browser/shell_tree.h"
#include "core/image_entry_list.h"
#include "core/list_hooks.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "viewer/histogram.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"
#include "core/folder_watcher.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "browser/caption_favourites.h"
#include "browser/slideshow.h"
#include "core/entry_queries.h"
#include "viewer/movie_player.h"
#include "viewer/view_focus.h"
#include "resources/resource.h"

FolderOpenDelay g_folderOpenDelay;

namespace {
// The tick's own bookkeeping.
struct TickState {
  HWND window = nullptr;
  HWND lastFocus = nullptr;
  bool currentTarget = false;
  bool escapeSwitched = false;
};

int32_t g_fileInfoShownEntry = -2;
int32_t g_lastMoveCheck = 0;
float g_focusTargetX[4], g_focusTargetY[4];
bool g_focusTargetPane[4];
uint8_t g_navigationStateBeforeFull = 0;
LONG_PTR g_savedStyle = 0;
RECT g_savedRect{};
HMENU g_savedMenu = nullptr;

HWND Slot(int slot) { return g_windowSlots[slot]; }
bool ListShown() { return (g_viewMode & 1) != 0; }
bool ViewerShown() { return (g_viewMode & 2) != 0; }
bool HasCursorRow() { return g_listCount > 0 && g_cursorRow >= 0; }
HWND FocusedPaneControl() { return GetPaneControl(GetFocusedPaneIndex(2)); }
bool PaneHasFocus() {
  HWND f = GetFocus();
  for (int k = 0; k < 4; ++k)
    if (f && f == GetPaneControl(k)) return true;
  return false;
}

// ---- steps 3-8 ----
void ServePendingSettingsPage(TickState& t) {
  if (PendingSettingsPage == -2) return;
  const int32_t page = PendingSettingsPage;
  PendingSettingsPage = -2;
  g_browserHooks.openSettingsDialog(t.window, page);
  PauseBusy();
  if (PendingCommandWindow) {
    HWND target = PendingCommandWindow;
    const int32_t id = PendingCommand;
    PendingCommandWindow = nullptr;
    PendingCommand = 0;
    SendMessageW(target, WM_COMMAND, id, 0);
  }
}

void ServeTreeRebuild() {
  if (g_treeRebuildRequest && !g_treeHidden) {
    g_treeRebuildRequest = 0;
    if (Slot(kSlotNavigationPane)) SendMessageW(Slot(kSlotNavigationPane), WM_COMMAND, kRefreshCommand, 0);
  }
}

// False when the tick goes on at the zoom step.
bool CheckFocusAndForeground(TickState& t) {
  const bool front = IsOwnWindowInFront();
  if (front) {
    t.lastFocus = GetFocus();
    if (t.lastFocus) return true;
  }
  if (!front && !FullScreenFlag) return false;
  if (SlideshowRunning) {
    StopSlideshow(0, 0);
    return true;
  }
  if (!FullScreenFlag) {
    FocusRestoreWindow = LastBrowseFocusWindow;
    return false;
  }
  if (!front) g_fullScreenRequest = 1;
  return true;
}

void UpdateShownEntry() {
  ShownEntry = GetRowEntry(GetCurrentPictureRow());
}

void BuildInformationLine(wchar_t* line, size_t capacity) {
  line[0] = 0;
  if (!HasCursorRow() || ShownEntry < 0) return;
  constexpr int kCap = 256;
  wchar_t name[1040], col[9][kCap];
  static const int kColumns[9] = {8, 11, 12, 13, 14, 15, 18, 17, 21};
  GetEntryPathText(ShownEntry, g_listSource != 0, name, 1040);
  const ImageEntry* entry = ShownEntry < g_entryCount ? EntryAt(ShownEntry) : nullptr;
  for (int i = 0; i < 9; ++i) {
    col[i][0] = 0;
    if (entry) wcsncat(col[i], GetInfoField(entry->info, kColumns[i]), kCap - 1);
  }
  // col: 0 model, 1 exposure time, 2 F-number, 3 program, 4 ISO, 5 bias, 6 focal length, 7 lens, 8 flash
  swprintf(line, capacity, L"FILE : %ls  %ls  %ls%ls  %ls  %ls  %ls%ls  %ls%ls  %ls  %ls  %ls%ls", name, col[0], col[1],
           col[1][0] ? L"(sec)" : L"", col[2], col[3], col[4][0] ? L"ISO" : L"", col[4], col[5][0] ? L"Ev" : L"",
           col[5], col[6], col[7], col[8][0] ? L"Flash : " : L"", col[8]);
}

void UpdateInformationLine() {
  if (ShownEntry == g_infoLineEntry) return;
  g_infoLineEntry = ShownEntry;
  if (g_bandControls[3]) SendMessageW(g_bandControls[3], TBM_SETPOS, TRUE, HasCursorRow() ? g_cursorRow + 1 : 0);
  UpdateStatusCounters(0x40 | 0x80 | 0x100 | 0x200);
  wchar_t line[1024];
  BuildInformationLine(line, 1024);
  SetStatusPartText(0, line);
}

// ---- steps 9-29 ----
void NoteCurrentTarget(TickState& t) { t.currentTarget = HasBrowsingFocus(); }

void ServeSelectAllOrHotKeys(TickState& t) {
  HWND list = GetListControl();
  if (ListShown() && IsKeyHeld(VK_CONTROL) && IsKeyJustPressed('A') && list && GetFocus() == list) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    g_cursorRow = 0;
    return;
  }
  if (!SlideshowRunning && !Slot(kSlotIndexPrint)) g_browserHooks.runHotKeyScan(t.currentTarget);
}

void StepSlideshow() {
  if (!SlideshowRunning) return;
  DWORD interval = static_cast<DWORD>(g_settings.slideshowWaitSeconds > 0 ? g_settings.slideshowWaitSeconds : 0);
  if (g_settings.slideshowWaitForMovie) {
    const int32_t number = GetRowEntry(GetCurrentPaneRow());
    const ImageEntry* e = number >= 0 && number < g_entryCount ? EntryAt(number) : nullptr;
    if (e && e->info.fileTypeFlag == kFileTypeMovie && e->movieValue > 0 &&
        static_cast<DWORD>(e->movieValue) > interval)
      interval = static_cast<DWORD>(e->movieValue);
  }
  const DWORD now = GetTickCount();
  if (interval * 1000 < now - SlideshowStartTick) {
    SlideshowStartTick = now;
    SendCommandThroughRebar(217);
  }
}

void ServeArrowKeys() {
  HWND tree = GetActiveTree();
  const bool treeFocused = tree && GetFocus() == tree;
  const bool listFocused = GetListControl() && GetFocus() == GetListControl();
  if (g_nextImageRequest ||
      (!treeFocused && (IsKeyPressedOrRepeating(VK_RIGHT) || IsKeyPressedOrRepeating(VK_DOWN)))) {
    g_nextImageRequest = 0;
    if (!listFocused) ShowNextImage();
  } else if (g_previousImageRequest ||
             (!treeFocused && (IsKeyPressedOrRepeating(VK_LEFT) || IsKeyPressedOrRepeating(VK_UP)))) {
    g_previousImageRequest = 0;
    if (!listFocused) ShowPreviousImage();
  }
}

void RepaintAfterFastMoves() {
  if (g_listPaneHoldOff > 0 && --g_listPaneHoldOff == 0) {
    if (!g_redrawFlag && g_cursorMoveCount - g_lastMoveCheck > 1) g_redrawFlag = 1;
    g_lastMoveCheck = g_cursorMoveCount = 0;
  }
  // Quick paging draws the small levels; once no redraw is pending, one at full quality.
  if (!g_redrawFlag && !g_paneRepaintRequest) {
    if (g_cursorMoveCount >= 2) g_redrawFlag = 1;
    g_cursorMoveCount = 0;
    if (FastDrawPending) {
      FastDrawPending = 0;
      g_redrawFlag = 1;
    }
  }
}

void ServeEscape(TickState& t) {
  if (IsKeyHeld(VK_SHIFT) && IsKeyJustPressed(VK_ESCAPE)) {
    SendMessageW(t.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return;
  }
  if (SlideshowRunning && IsKeyJustPressed(VK_ESCAPE)) return;  // the key sender stops the slideshow
  if (g_fullScreenRequest || (!SlideshowRunning && IsKeyJustPressed(VK_ESCAPE))) {
    g_fullScreenRequest = 0;
    SwitchFullScreen();
    t.escapeSwitched = true;
  }
}

void CheckFullScreenBars() {
  if (!FullScreenFlag) return;
  const bool rebarShown = g_hwndRebar && IsWindowVisible(g_hwndRebar);
  if (ListShown()) {
    if (!rebarShown) g_relayoutFlag = 1;
    return;
  }
  if (g_mouseCaptured) return;
  bool wantRebar, wantStatus;
  WantedFullScreenBars(&wantRebar, &wantStatus);
  const bool statusShown = g_statusBar && IsWindowVisible(g_statusBar);
  if (wantRebar != rebarShown || wantStatus != statusShown) g_relayoutFlag = 1;
}

void ServeNavigationToggle() {
  const bool tab = IsKeyJustPressed(VK_TAB) && !IsKeyHeld(VK_MENU);
  if (!tab && !g_navigationToggleRequest) return;
  HWND tree = GetActiveTree();
  if (!g_navigationToggleRequest && !g_treeHidden && tree && GetFocus() != tree) {
    FocusRestoreWindow = tree;
    return;
  }
  g_treeHidden = g_treeHidden ? 0 : 1;
  g_relayoutFlag = 1;
  if (!g_treeHidden && tab)
    FocusRestoreWindow = tree;
  else
    FocusRestoreWindow = ListShown() ? GetListControl() : FocusedPaneControl();
  g_navigationToggleRequest = 0;
}

void ServeDisplayType() {
  if (!IsKeyJustPressed(VK_SPACE) && !g_styleToggleRequest) return;
  g_styleToggleRequest = 0;
  if (IsListFocused()) {
    if (Slot(kSlotFileListPane)) SendMessageW(Slot(kSlotFileListPane), WM_COMMAND, kStyleToggleCommand, 0);
  } else if (PaneHasFocus()) {
    g_displayType = (g_displayType + 1) % 3;
    g_redrawFlag = 1;
  }
}

void ServeEnterOrViewToggle() {
  const bool enter = !SlideshowRunning && IsKeyJustPressed(VK_RETURN);
  if (!enter && !g_toggleViewRequest) return;
  HWND tree = GetActiveTree();
  if (enter && tree && GetFocus() == tree) {
    if (ListShown()) {
      MarkFlaggedEntries();
      FocusRestoreWindow = GetListControl();
    } else {
      FocusRestoreWindow = FocusedPaneControl();
    }
    return;
  }
  ToggleListViewerMode(1);
  g_toggleViewRequest = 0;
}

// A magnifier byte follows its key; a release the poller injected itself does not clear it.
void FollowMagnifierKey(bool held, uint8_t* byte, int injectedKey) {
  if (held && !*byte) {
    *byte = 1;
    g_redrawFlag = 1;
    MagnificationStep = 0;
  } else if (!held && *byte && g_keyHold.injectedKey != injectedKey) {
    *byte = 0;
    g_redrawFlag = 1;
  }
}

void ServeMagnifierKeys() {
  FollowMagnifierKey((IsKeyHeld(VK_CONTROL) && !g_dragActive) || IsKeyHeld(VK_MENU), &g_oneToOneByte, VK_MENU);
  FollowMagnifierKey(IsKeyHeld(VK_SHIFT), &g_doubleSizeByte, VK_SHIFT);
}

void ServeImeKeys() {
  // Alt with the half-width/full-width keys: left out, the plain key already toggles the IME.
}

void ServeZoomModeKeys() {
  if (ViewerShown() && g_listCount > 0 && g_cursorRow >= 0) UpdateZoomModeFromKeys();
}

void ServeDeleteKey(const TickState& t) {
  if (IsKeyJustPressed(VK_DELETE) && t.currentTarget && Slot(kSlotFileListPane))
    SendMessageW(Slot(kSlotFileListPane), WM_COMMAND, 117, 1);
}

void ServeCommandKeys() {
  struct KeyCommand {
    int key, command;
    bool viewerOnly;
  };
  static const KeyCommand kKeys[] = {{28, 337, true},  {111, 225, true}, {226, 226, true}, {29, 304, false},
                                     {191, 310, false}, {190, 326, false}, {188, 327, false}};
  for (const KeyCommand& k : kKeys)
    if ((!k.viewerOnly || ViewerShown()) && IsKeyJustPressed(k.key)) SendCommandThroughRebar(k.command);
  if (SlideshowRunning && IsKeyJustPressed(VK_ESCAPE)) StopSlideshow(0, 0);
  static const int kFunctionCommands[10] = {332, 305, 308, 306, 303, 335, 307, 309, 336, 333};
  for (int i = 0; i < 10; ++i)
    if (IsKeyJustPressed(VK_F1 + i)) SendCommandThroughRebar(kFunctionCommands[i]);
}

void ServeExposureKeys() {
  const bool magnify = IsKeyHeld(VK_CONTROL) || IsKeyHeld(VK_SHIFT) || g_leftHeldOnViewer;
  if (IsKeyHeld(VK_MULTIPLY)) {
    ExposureShift = 0;
    g_redrawFlag = 1;
  }
  for (int direction : {1, -1}) {
    if (!IsKeyPressedOrRepeating(direction > 0 ? VK_ADD : VK_SUBTRACT)) continue;
    if (magnify)
      MagnificationStep += direction;
    else
      ExposureShift += 16 * direction;
    g_redrawFlag = 1;
  }
  ExposureShift = ClampExposureShift(ExposureShift);
}

void ServeSplitKeys() {
  if (IsKeyJustPressed(VK_F11)) SendCommandThroughRebar(340);
  if (IsKeyJustPressed(VK_F12)) SendCommandThroughRebar(338);
}

void ServeNextPaneKey() {
  if (!ViewerShown() || !IsKeyJustPressed(VK_NUMPAD0)) return;
  const int32_t current = GetFocusedPaneIndex(1);
  const int32_t next = current < 0 ? 0 : (current + 1 >= CurrentPaneCount() ? 0 : current + 1);
  g_focusedPane = next;
  FocusRestoreWindow = GetPaneControl(next);
  RestoreSavedFocus();
  g_redrawFlag = 1;
}

void ServeImageLock() {
  if (!IsKeyJustPressed(VK_DECIMAL) && !g_rightWithLeftRequest) return;
  const int32_t n = CurrentPaneCount();
  if (ViewerShown() && n > 1) {
    // The current pane, framed and acted on by the other commands; the remembered one without it.
    const int32_t k = g_focusedPane >= 0 && g_focusedPane < n ? g_focusedPane : GetFocusedPaneIndex(2);
    if (g_paneEntry[k] < 0) {
      int32_t unlocked = 0;
      for (int32_t i = 0; i < n; ++i) unlocked += g_paneEntry[i] < 0;
      if (unlocked - 1 <= 1) g_paneEntry[(k + 1) % n] = -1;
      g_paneEntry[k] = GetPaneOrderNumber(k);
    } else {
      g_paneEntry[k] = -1;
    }
    if (ListShown()) SyncListSelectionWithView();
    g_redrawFlag = 1;
  } else if (g_rightWithLeftRequest) {
    g_nextImageRequest = 1;
  }
  g_rightWithLeftRequest = 0;
}

void ServeCollectionAdd() {
  if (g_collectionAddRequest < 0) return;
  AddSelectionToCollection(g_collectionAddRequest);
  g_collectionAddRequest = -1;
}

void ServeFolderPicks() {
  if (g_favouritePick >= 0) {
    g_treeDrivenByCode = 1;
    OpenFavouriteFolder(g_favouritePick);
    g_treeDrivenByCode = 0;
    g_favouritePick = -1;
  }
  if (g_cacheHistoryPick >= 0) {
    g_treeDrivenByCode = 1;
    OpenCachedFolder(g_cacheHistoryPick);
    g_treeDrivenByCode = 0;
    g_cacheHistoryPick = -1;
  }
}

// ---- steps 30-39 ----
void ForEachTargetPane(void (*fn)(int32_t)) {
  const int32_t focused = GetFocusedPaneIndex(1);
  if (IsKeyHeld(VK_MENU) && focused >= 0) {
    fn(focused);
    return;
  }
  for (int32_t k = 0; k < CurrentPaneCount(); ++k) fn(k);
}

void ServeZoomedPictures() {
  if (!g_zoomMode) {
    g_viewFocusIndex = 0;
    g_viewFocusEasing = 0;
    return;
  }
  // Page Up at point 0 asks for point -1, which the target lookup wraps to the table's last.
  int32_t point = 0;
  bool chosen = IsKeyJustPressed(VK_NUMPAD5);
  if (GetFocusedPaneIndex(1) >= 0) {
    if (IsKeyJustPressed(VK_PRIOR)) {
      point = g_viewFocusIndex - 1;
      chosen = true;
    }
    if (IsKeyJustPressed(VK_NEXT)) {
      point = g_viewFocusIndex + 1;
      chosen = true;
    }
  }
  if (chosen) {
    for (bool& b : g_focusTargetPane) b = false;
    g_viewFocusIndex = point;
    ForEachTargetPane([](int32_t k) {
      g_viewFocusIndex = GetViewerPictureZoomTarget(k, g_viewFocusIndex, &g_focusTargetX[k], &g_focusTargetY[k]);
      g_focusTargetPane[k] = true;
    });
    g_viewFocusEasing = 1;
  }
  if (g_viewFocusEasing) {
    for (int32_t k = 0; k < 4; ++k) {
      if (!g_focusTargetPane[k]) continue;
      g_zoomPointX[k] = EaseTowards(g_zoomPointX[k], g_focusTargetX[k]);
      g_zoomPointY[k] = EaseTowards(g_zoomPointY[k], g_focusTargetY[k]);
    }
    g_redrawFlag = 1;
  }
  static const int kScrollKeys[kScrollKeyCount] = {VK_NUMPAD7, VK_NUMPAD8, VK_NUMPAD9, VK_NUMPAD6,
                                                   VK_NUMPAD3, VK_NUMPAD2, VK_NUMPAD1, VK_NUMPAD4};
  bool held[kScrollKeyCount];
  for (int i = 0; i < kScrollKeyCount; ++i) held[i] = IsKeyHeld(kScrollKeys[i]);
  UpdateScrollVelocities(held, &ScrollVelocityX, &ScrollVelocityY);
  if (ScrollVelocityMoves(ScrollVelocityX, ScrollVelocityY)) {
    ForEachTargetPane([](int32_t k) {
      g_zoomPointX[k] += ScrollVelocityX;
      g_zoomPointY[k] += ScrollVelocityY;
    });
    g_viewFocusIndex = 0;
    g_viewFocusEasing = 0;
    g_redrawFlag = 1;
  }
}

void ServeDelayedHistograms() {
  if (g_histogramCacheMode == 0) return;
  if (g_cursorRow != g_lastHistogramRow) {
    g_lastHistogramRow = g_cursorRow;
    g_histogramTicks = 0;
    return;
  }
  if (++g_histogramTicks == 25) {
    g_histogramBudget = CurrentPaneCount();
    g_redrawFlag = 1;
  }
}

void ServeImageLevelStatus() {
  ShowImageLevelStatus(GetCurrentPictureRow());
}

void ServeRepaint() {
  if (g_redrawFlag != 1) return;
  g_redrawFlag = 0;
  if (Slot(kSlotFileListPane)) InvalidateRect(Slot(kSlotFileListPane), nullptr, TRUE);
  UpdateToolbarButtons(14);
}

void ServeRelayout(TickState& t) {
  if (g_relayoutFlag != 1) return;
  g_relayoutFlag = 0;
  PostMessageW(t.window, WM_SIZE, 0, 0);
  g_paneRepaintRequest = 1;
}

void ServeFocusRestoreAndPostedRelayout(TickState& t) {
  RestoreSavedFocus();
  if (g_postedRelayoutRequest) {
    g_postedRelayoutRequest = 0;
    PostMessageW(t.window, WM_SIZE, 0, 0);
  }
}

void KeepFocusBookkeeping() {
  HWND focus = GetFocus();
  bool browse = focus && (focus == GetListControl() || focus == GetActiveTree());
  for (int k = 0; k < 4 && !browse; ++k) browse = focus && focus == GetPaneControl(k);
  HWND nav = Slot(kSlotNavigationPane);
  if (!browse && focus && nav && GetParent(focus) == nav) {
    const int id = GetDlgCtrlID(focus);
    browse = id == IDC_FOLDER_TREE || id == IDC_COLLECTION_TREE;
  }
  if (browse) {
    LastBrowseFocusWindow = focus;
    g_focusRestoreRequest = 0;
  } else if (g_focusRestoreRequest && !(Slot(kSlotMovieControls) && IsWindowVisible(Slot(kSlotMovieControls))) &&
             !(Slot(kSlotFileInfo) && IsWindowVisible(Slot(kSlotFileInfo)))) {
    g_focusRestoreRequest = 0;
    FocusRestoreWindow = ListShown() ? GetListControl() : FocusedPaneControl();
  }
}

void ServeCommandStatesAndMail(TickState& t) {
  ComputeCommandStates();
  PushStatusTexts();
  if (g_mailRequest) {
    g_mailRequest = 0;
    g_browserHooks.sendSelectionByMail(t.window);
  }
}

void CompleteStartupOnce(TickState& t) {
  if (g_startupCompletionWindow && g_listBuilt) {
    UpdateToolbarButtons(1);
    g_fileInfoShownEntry = -2;
    InvalidateRect(t.window, nullptr, TRUE);
    g_startupCompletionWindow = nullptr;
    g_focusRestoreRequest = 1;
    if (!Slot(kSlotAbout)) {
      // The text field already holds this program's version after the load; the number at
      // 182460 still holds the version of the program that wrote the file.
      const float running =
          static_cast<float>(ParseVersionNumber(reinterpret_cast<const char16_t*>(g_programVersion), 100));
      if (g_newVersionFound) {
        DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUT), t.window, AboutDlgProc, 1);
        g_newVersionFound = 0;
      } else if (g_settings.versionNumber != running) {
        PendingSettingsPage = 2;
      }
      SaveSettingsFile();
    }
  }
  IdleReentryFlag = 0;
}

void ServeFolderOpenDelay() {
  // While loads are refused the pick waits: g_currentFolder must not name a folder not listed.
  if (!TickFolderOpenDelay(&g_folderOpenDelay, g_listLoading != 0 || g_listLoadBlocked != 0)) return;
  wmemset(g_currentFolder, 0, 260);
  wcsncpy(g_currentFolder, g_selectedFolderPath, 259);
  g_listHooks.loadListContents(g_folderOpenDelay.args[0], g_folderOpenDelay.args[1], 0);
}

void ServeFileInfoRefresh() {
  HWND info = Slot(kSlotFileInfo);
  if (!info) return;
  const int32_t target = FileInfoTargetEntry();
  // A new list's entry can carry the number of the one shown before: the list counts too.
  static uint32_t shownGeneration = 0;
  const uint32_t generation = g_entryGeneration.load();
  if (target != g_fileInfoShownEntry || generation != shownGeneration) {
    g_fileInfoShownEntry = target;
    shownGeneration = generation;
    FileInfoRefreshFlag = 1;
    PreviewDelayTicks = 2;
    PreviewPaintStep = 0;
  }
  if (FileInfoRefreshFlag) {
    FileInfoRefreshFlag = 0;
    SendMessageW(info, WM_COMMAND, kRefreshCommand, 0);
  }
}
}  // namespace

void SendCommandThroughRebar(int command) {
  if (g_hwndRebar)
    SendMessageW(g_hwndRebar, WM_COMMAND, command, 0);
  else if (g_hwndMain)
    SendMessageW(g_hwndMain, WM_COMMAND, command, 0);
}

void RequestDelayedFolderOpen(int32_t arg0, int32_t arg1) { RequestFolderOpen(&g_folderOpenDelay, arg0, arg1); }

void SwitchFullScreen() {
  HWND w = g_hwndMain;
  if (!w) return;
  if (!FullScreenFlag) {
    FullScreenFlag = 1;
    g_navigationStateBeforeFull = g_treeHidden;
    if (!g_treeHidden) g_navigationToggleRequest = 1;
    g_savedStyle = GetWindowLongPtrW(w, GWL_STYLE);
    SetWindowLongPtrW(w, GWL_STYLE, WS_VISIBLE);
    GetWindowRect(w, &g_savedRect);
    g_savedMenu = GetMenu(w);
    SetMenu(w, nullptr);
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    SetWindowPos(w, HWND_TOPMOST, 0, 0, desk.right - desk.left, desk.bottom - desk.top, SWP_SHOWWINDOW);
  } else {
    SetWindowLongPtrW(w, GWL_STYLE, g_savedStyle);
    SetWindowPos(w, HWND_NOTOPMOST, g_savedRect.left, g_savedRect.top, g_savedRect.right - g_savedRect.left,
                 g_savedRect.bottom - g_savedRect.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    if (g_hwndRebar) ShowWindow(g_hwndRebar, SW_SHOWNOACTIVATE);
    if (g_statusBar) ShowWindow(g_statusBar, SW_SHOWNOACTIVATE);
    if (g_savedMenu) SetMenu(w, g_savedMenu);
    if (g_treeHidden != g_navigationStateBeforeFull) g_navigationToggleRequest = 1;
    FullScreenFlag = 0;
  }
  g_relayoutFlag = 1;
}

void OnIdleTimer(HWND window) {
  TickState t;
  t.window = window;
  if (IdleReentryFlag) {
    ServeFileInfoRefresh();
    return;
  }
  IdleReentryFlag = 1;
  PollKeyStates();
  bool keys = !BusyFlag;
  if (keys) {
    ServePendingSettingsPage(t);
    ServeTreeRebuild();
    keys = CheckFocusAndForeground(t);
  }
  if (keys) {
    UpdateMovieControls();
    UpdateShownEntry();
    UpdateInformationLine();
    // Only a running render thread clears the byte: without one nothing would ever serve the keys.
    if (!g_paneRepaintRequest || !IsPaneRenderThreadRunning()) {
      NoteCurrentTarget(t);
      ServeSelectAllOrHotKeys(t);
      StepSlideshow();
      ServeArrowKeys();
      RepaintAfterFastMoves();
      ServeEscape(t);
      CheckFullScreenBars();
      ServeNavigationToggle();
      ServeDisplayType();
      ServeEnterOrViewToggle();
      ServeMagnifierKeys();
      ServeImeKeys();
      ServeZoomModeKeys();
      ServeDeleteKey(t);
      ServeCommandKeys();
      ServeExposureKeys();
      ServeSplitKeys();
      ServeNextPaneKey();
      ServeImageLock();
      ServeCollectionAdd();
      ServeFolderPicks();
    }
  }
  ServeZoomedPictures();
  ServeDelayedHistograms();
  ServeImageLevelStatus();
  ServeRepaint();
  ServeRelayout(t);
  ServeFocusRestoreAndPostedRelayout(t);
  KeepFocusBookkeeping();
  ServeCommandStatesAndMail(t);
  CompleteStartupOnce(t);
  ServeFolderOpenDelay();
  ServeFolderReloadRequest();
  ServeFileInfoRefresh();
}
