// The main window's commands: menu items, toolbar buttons, rebar controls and forwarded keys.
// Most raise a request for the idle loop or pass a list command on to the file-list pane.
#include "browser/main_commands.h"

#include <commctrl.h>
#include <icm.h>
#include <shellapi.h>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/about_dialogs.h"
#include "browser/browser_hooks.h"
#include "browser/focus_queries.h"
#include "browser/folder_dialogs.h"
#include "browser/idle_loop.h"
#include "browser/list_rows.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/pure/list_pane_rules.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "browser/status_bar.h"
#include "browser/toolbar_state.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/colour_profiles.h"
#include "browser/navigation_pane.h"
#include "viewer/histogram.h"
#include "viewer/viewer_threads.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/folder_cache.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/entry_queries.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "resources/resource.h"

uint8_t g_rebarComboActive = 0;
uint8_t g_toolPopupOpen = 0;

namespace {
// Commands that only pass a list command on to the file-list pane.
struct Forward {
  int id, listCommand;
};
const Forward kForwards[] = {
    {240, 230}, {243, 253}, {254, 253}, {276, 275}, {280, 267}, {281, 164}, {282, 185}, {283, 134},
    {284, 130}, {285, 197}, {286, 125}, {287, 156}, {288, 157}, {289, 158}, {290, 136}, {291, 117},
    {292, 123}, {294, 133}, {295, 122}, {296, 273}, {556, 305}, {32775, 123}, {32777, 125},
};
// Commands that only choose the settings page opened on the next idle tick.
struct PageCommand {
  int id, page;
};
const PageCommand kPageCommands[] = {{232, 15}, {301, 11}, {333, 8}, {336, -1}, {32772, -1}, {32787, 9}, {32788, 14}};

constexpr int kRawReleaseWaitMs = 5000;

HWND ListPane() { return g_windowSlots[kSlotFileListPane]; }
HWND List() { return GetListControl(); }
bool ListShown() { return (g_viewMode & 1) != 0; }
bool ViewerShown() { return (g_viewMode & 2) != 0; }
bool HasCursorRow() { return g_listCount > 0 && g_cursorRow >= 0 && g_cursorRow < g_listCount; }

void ForwardToList(int listCommand) {
  if (ListPane()) SendMessageW(ListPane(), WM_COMMAND, listCommand, 0);
}

void SelectAndShow(int row) {
  HWND list = List();
  if (!list || row < 0) return;
  ClearListSelection(list);
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void StepImage(bool next) {
  if (ListShown() && List()) SetFocus(List());
  if (IsListFocused())
    next ? ShowNextImage() : ShowPreviousImage();
  else
    (next ? g_nextImageRequest : g_previousImageRequest) = 1;
  if (ListShown()) {
    SelectAndShow(g_cursorRow);
    FocusRestoreWindow = List();
  }
}

void LockBands() {
  g_settings.lockBands ^= 1;
  if (!g_hwndRebar) return;
  for (UINT band = 0; band < 7; ++band) {
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_STYLE;
    if (!SendMessageW(g_hwndRebar, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info))) continue;
    info.fStyle = g_settings.lockBands ? (info.fStyle | RBBS_NOGRIPPER) : (info.fStyle & ~RBBS_NOGRIPPER);
    SendMessageW(g_hwndRebar, RB_SETBANDINFOW, band, reinterpret_cast<LPARAM>(&info));
  }
}

void ToggleZoomHold() {
  SetFocusRestoreTarget(1);
  g_settings.keepZoomWhilePaging ^= 1;
  UpdateToolbarButtons(2);
  if (g_settings.keepZoomWhilePaging) {
    g_zoomHoldLatch = 0;
    g_keyHold.injectedKey = VK_CONTROL;
  } else {
    g_zoomHoldLatch = 1;
  }
  g_redrawFlag = 1;
}

void RedrawRow(int row) {
  if (List() && row >= 0) SendMessageW(List(), LVM_REDRAWITEMS, row, row);
}

void SetCheckMarks(uint8_t value) {
  if (IsListFocused()) {
    for (int r = -1; (r = static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, r, LVNI_SELECTED))) >= 0;) {
      if (r >= g_listCount) break;
      EntryAtRow(r)->checked = value;
      g_cacheDirty |= 2;
      RedrawRow(r);
    }
    if (ViewerShown()) g_redrawFlag = 1;
    return;
  }
  const int row = GetCurrentPaneRow();
  if (row < 0) return;
  EntryAtRow(row)->checked = value;
  g_cacheDirty |= 2;
  RedrawRow(row);
  g_redrawFlag = 1;
}

void JumpToNextChecked() {
  SetFocusRestoreTarget(1);
  if (g_listCount <= 0) return;
  bool viewerWalk = ViewerShown() && !IsListFocused();
  for (int step = 1; step <= g_listCount; ++step) {
    int row = ((g_cursorRow < 0 ? 0 : g_cursorRow) + (viewerWalk ? step : step - 1)) % g_listCount;
    ImageEntry* e = EntryAtRow(row);
    if (!e->checked || (viewerWalk && !(e->presence & 2))) continue;
    g_cursorRow = row;
    if (viewerWalk) {
      g_redrawFlag = 1;
    } else {
      if (List()) SetFocus(List());
      SelectAndShow(row);
    }
    return;
  }
}

// The turn reaches the folder's cache file, and the list thread draws the row's thumbnail anew.
void RotateEntry(ImageEntry* e, int delta, bool reset) {
  e->userRotation = static_cast<int8_t>(StepUserRotation(e->userRotation, delta, reset));
  SetEntryFlags(e, kEntryRotated | kEntryRenderAgain);
  g_cacheDirty |= 2;
}

void Rotate(int delta, bool reset) {
  if (!HasCursorRow() || !g_listReadyFlag) return;
  const std::vector<int> rows = GetPictureCommandRows();
  if (rows.empty()) return;
  const bool listFocused = IsListFocused();
  if (listFocused) CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
  for (int row : rows) RotateEntry(EntryAtRow(row), delta, reset);
  if (listFocused) ReleaseMouseCapture();
  g_listChanged = 1;
}

void ToggleRawDevelopment(HWND window) {
  CloseIme(window);
  if (g_rawViewerState != 3 || !HasCursorRow()) return;
  const int row = GetCurrentPictureRow();
  if (row < 0) return;
  int number = g_displayOrder[row];
  if (IsRawEntry(number) && !g_rawToggleRunning) {
    g_rawToggleRunning = 1;
    ImageEntry* e = EntryAt(number);
    if (e->levelImages[kLevelFull]) {
      SetEntryDevelopMode(e, 0);
      // The prefetch thread frees the development and signals -1.
      DiscardDevelopmentEntry = number;
      // The viewer may be stuck on a damaged file; the toggle gives up rather than hang.
      for (int waited = 0; DiscardDevelopmentEntry != -1 && waited < kRawReleaseWaitMs; ++waited) PumpMessages(1);
    } else {
      SetEntryDevelopMode(e, 2);
    }
    g_redrawFlag = 1;
    g_rawToggleRunning = 0;
  }
  PauseBusy();
}

void NextSplitLayoutCommand() {
  SetFocusRestoreTarget(1);
  g_settings.splitLayout = NextSplitLayout(g_settings.splitLayout);
  int panes = g_paneCountByLayout[g_settings.splitLayout];
  g_histogramBudget = panes;
  bool anyUnlocked = false;
  for (int k = 0; k < panes; ++k) anyUnlocked |= g_paneEntry[k] < 0;
  if (!anyUnlocked) g_paneEntry[0] = -1;
  if (g_viewMode == 1) g_toggleViewRequest = 1;
  if (ViewerShown()) g_relayoutFlag = 1;
}

using SetupColorMatchingProc = BOOL(WINAPI*)(COLORMATCHSETUPW*);

// The colour-matching dialog lives in icmui.dll, which not every system has: the command does
// nothing there instead of the program failing to start.
SetupColorMatchingProc LoadSetupColorMatching() {
  static HMODULE module = LoadLibraryW(L"icmui.dll");
  return module ? reinterpret_cast<SetupColorMatchingProc>(GetProcAddress(module, "SetupColorMatchingW")) : nullptr;
}

void RunColorManagement() {
  SetupColorMatchingProc setup = LoadSetupColorMatching();
  if (setup) {
    COLORMATCHSETUPW record;
    BuildColorMatchSetup(&record);
    record.hwndOwner = MessageOwnerWindow;
    DWORD flags = record.dwFlags;
    if (setup(&record)) {
      StoreColorMatchSetup(record);
      BuildProfilePath(reinterpret_cast<const wchar_t*>(g_settings.colorMonitorProfile), g_monitorProfilePath);
      g_screenProfileChanged = 1;
      BuildProfilePath(reinterpret_cast<const wchar_t*>(g_settings.colorPrinterProfile), g_printerProfilePath);
      if (record.dwFlags != flags) {
        for (int k = 0; k < g_entryCount; ++k)
          if (EntryAt(k)->fullLevelSize > 0) SetEntryFlags(EntryAt(k), kEntryRotated);
        ReloadCurrentList(0);
      }
    }
  }
  PauseBusy();
}

void OpenHelp() {
  wchar_t path[kPathChars];
  swprintf(path, kPathChars, L"%ls\\Brannomere.chm", g_programFolder);
  ShellExecuteW(GetShellWindow(), L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void OnComboNotification(int code) {
  if (code == CBN_KILLFOCUS || code == CBN_CLOSEUP || code == CBN_SELENDOK || code == CBN_SELENDCANCEL)
    g_rebarComboActive = 0;
  else if (code >= CBN_SELCHANGE && code <= CBN_SELENDCANCEL)
    g_rebarComboActive = 1;
}

// "%s:%s->%s": the file name is between the last ':' before "->" and "->".
bool HistoryItemFileName(const wchar_t* text, wchar_t* name, size_t capacity) {
  const wchar_t* arrow = wcsstr(text, L"->");
  if (!arrow) return false;
  const wchar_t* start = arrow;
  while (start > text && start[-1] != L':') --start;
  if (start == text) return false;
  size_t n = static_cast<size_t>(arrow - start);
  if (n >= capacity) n = capacity - 1;
  wmemcpy(name, start, n);
  name[n] = 0;
  return true;
}

void OnActionHistoryCombo(int code) {
  if (code != CBN_SELCHANGE) {
    OnComboNotification(code);
    return;
  }
  HWND combo = g_bandControls[4];
  if (!ListShown() || !combo) return;
  wchar_t text[512] = {}, name[512];
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT;
  item.iItem = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  item.pszText = text;
  item.cchTextMax = 512;
  if (!SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return;
  text[511] = 0;
  if (!HistoryItemFileName(text, name, 512)) return;
  for (int r = 0; r < g_listCount; ++r) {
    const wchar_t* entryName = EntryName(EntryAtRow(r));
    if (entryName && ComparePaths(entryName, name) == 0) {
      g_cursorRow = r;
      SelectAndShow(r);
      return;
    }
  }
}

void ShowToolPopup(HWND window) {
  HWND button = g_bandControls[0];
  HMENU popup = g_menus[1];
  if (!button || !popup) return;
  RECT r;
  GetWindowRect(button, &r);
  PrepareToolPopup();
  g_toolPopupOpen = 1;
  TrackPopupMenu(popup, TPM_LEFTBUTTON, r.left, r.bottom, 0, window, nullptr);
  g_toolPopupOpen = 0;
}

void OpenAboutDialog(HWND window) {
  if (!g_windowSlots[kSlotAbout])
    DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutDlgProc, 0);
  PauseBusy();
}

void OpenKeyGuide(HWND window) {
  if (!g_windowSlots[kSlotKeyGuide])
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_KEY_GUIDE), window, KeyGuideDlgProc, 0);
}

void OpenIndexPrint(HWND window) {
  if (!g_windowSlots[kSlotIndexPrint])
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT), window, g_browserHooks.indexPrintDialogProc, 0);
}
}  // namespace

bool RunMainCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  (void)lParam;
  for (const Forward& f : kForwards)
    if (f.id == id) {
      ForwardToList(f.listCommand);
      return true;
    }
  for (const PageCommand& p : kPageCommands)
    if (p.id == id) {
      PendingSettingsPage = p.page;
      return true;
    }
  switch (id) {
    case 104: OpenAboutDialog(window); return true;
    case 112: RebuildToolboxBand(); return true;
    case 32779: OpenKeyGuide(window); return true;
    case 32781: OpenIndexPrint(window); return true;
    case 335: g_browserHooks.calculateMediaSplit(); return true;
    case 307: g_browserHooks.distributeToMediaFolders(); return true;
    case 309: g_browserHooks.mergeSubfolders(); return true;
    case 32783: g_browserHooks.batchRenameFolder(); return true;
    case 32797: g_browserHooks.batchReplaceRenameFolder(); return true;
    case 105: PostMessageW(window, WM_CLOSE, 0, 0); return true;
    case 129: SendMessageW(window, WM_COMMAND, 32779, 0); return true;
    case 132: SendMessageW(window, WM_COMMAND, 104, 0); return true;
    case 133: SendMessageW(window, WM_COMMAND, 32792, 0); return true;
    case 205: ShowToolPopup(window); return true;
    case 211:
    case 212:
      // The item's row, not its place: rows without a path are not listed.
      if (code == CBN_SELENDOK && g_bandControls[id - 210])
        (id == 211 ? g_favouritePick : g_cacheHistoryPick) =
            id == 211 ? GetSelectedFavouriteRow() : GetSelectedCacheHistoryRow();
      OnComboNotification(code);
      return true;
    case 216: StepImage(false); return true;
    case 217: StepImage(true); return true;
    case 224: LockBands(); return true;
    case 225: ToggleZoomHold(); return true;
    case 226:
      SetFocusRestoreTarget(1);
      g_settings.loupeEnabled ^= 1;
      UpdateToolbarButtons(2);
      g_redrawFlag = 1;
      return true;
    case 302: g_navigationToggleRequest = 1; return true;
    case 303:
      g_reloadSelectionMode = 1;
      ForwardToList(118);
      return true;
    case 304:
      SetFocusRestoreTarget(1);
      if (ViewerShown()) {
        g_gridShown ^= 1;
        UpdateToolbarButtons(2);
        g_redrawFlag = 1;
      }
      return true;
    case 305: SetCheckMarks(1); return true;
    case 308: SetCheckMarks(0); return true;
    case 306: JumpToNextChecked(); return true;
    case 310: Rotate(0, true); return true;
    case 326: Rotate(1, false); return true;
    case 327: Rotate(-1, false); return true;
    case 325: OnActionHistoryCombo(code); return true;
    case 328: SetFocusRestoreTarget(1); g_fullScreenRequest = 1; return true;
    case 331: SetFocusRestoreTarget(1); g_styleToggleRequest = 1; return true;
    case 332:
      if (SlideshowRunning) {
        StopSlideshow();
      } else {
        SetFocusRestoreTarget(1);
        StartSlideshow();
      }
      return true;
    case 334: SetFocusRestoreTarget(1); g_toggleViewRequest = 1; return true;
    case 337: ToggleRawDevelopment(window); return true;
    case 338: NextSplitLayoutCommand(); return true;
    case 340:
      SetFocusRestoreTarget(1);
      g_toggleViewRequest = 1;
      g_thumbnailSplitRequest = 1;
      return true;
    case 32790: RunColorManagement(); return true;
    case 32792: OpenHelp(); return true;
    case 32795: SendCommandThroughRebar(309); return true;
  }
  if (id >= 2000 && id <= 2017) PendingSettingsPage = id - 2000;
  return false;
}
