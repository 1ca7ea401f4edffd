// The main window's commands: menu items, toolbar buttons, rebar controls and forwarded keys.
// Most raise a request for the idle loop or pass a list command on to the file-list pane.
#include "browser/main_commands.h"

#include "printing/index_print_dialog.h"

#include <commctrl.h>
#include <icm.h>
#include <shellapi.h>
#include <cwchar>
#include <string>
#include <vector>

#include "actions/batch_rename.h"
#include "actions/media_split.h"
#include "browser/about_dialogs.h"
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
#include "actions/action_history.h"
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
#include "actions/entry_actions.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "resources/resource.h"
#include "settings_dialog/color_settings.h"

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
  int row = GetPaneOrderNumber(g_focusedPane);
  if (row < 0 || row >= g_listCount) return;
  EntryAtRow(row)->checked = value;
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

void RotateEntry(ImageEntry* e, int delta, bool reset) {
  e->userRotation = static_cast<int8_t>(StepUserRotation(e->userRotation, delta, reset));
  e->flags |= 0x10 | 0x08;
}

void Rotate(int delta, bool reset) {
  if (!HasCursorRow() || !g_listReadyFlag) return;
  if (IsListFocused()) {
    CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
    for (int r = -1; (r = static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, r, LVNI_SELECTED))) >= 0;)
      if (r < g_listCount) RotateEntry(EntryAtRow(r), delta, reset);
    g_cacheDirty |= 2;
    ReleaseMouseCapture();
  } else {
    int row = GetPaneOrderNumber(g_focusedPane);
    if (row < 0 || row >= g_listCount) return;
    RotateEntry(EntryAtRow(row), delta, reset);
  }
  g_entriesChanged = 1;
}

void ToggleRawDevelopment(HWND window) {
  CloseIme(window);
  if (g_rawViewerState != 3 || !HasCursorRow()) return;
  int row = IsListFocused() ? g_cursorRow : GetPaneOrderNumber(g_focusedPane);
  if (row < 0 || row >= g_listCount) return;
  int number = g_displayOrder[row];
  if (IsRawEntry(number) && !g_rawToggleRunning) {
    g_rawToggleRunning = 1;
    ImageEntry* e = EntryAt(number);
    if (e->levelImages[kLevelFull]) {
      e->developMode = 0;
      // The prefetch thread frees the development and signals -1.
      DiscardDevelopmentEntry = number;
      // The viewer may be stuck on a damaged file; the toggle gives up rather than hang.
      for (int waited = 0; DiscardDevelopmentEntry != -1 && waited < kRawReleaseWaitMs; ++waited) PumpMessages(1);
    } else {
      e->developMode = 2;
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

void BuildProfilePath(const wchar_t* name, wchar_t* out) {
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (!GetColorDirectoryW(nullptr, folder, &size)) folder[0] = 0;
  swprintf(out, 260, L"%ls\\%ls", folder, name);
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
          if (EntryAt(k)->fullLevelSize > 0) EntryAt(k)->flags |= 0x10;
        ReloadCurrentList(0);
      }
      CopyColorMatchSetupToWorkingCopy();
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

const wchar_t* ProductName() { return g_productName ? g_productName : L""; }

int AskYesNo(const wchar_t* text) {
  return ShowAppMessageBox(nullptr, text, ProductName(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST);
}

void Inform(const wchar_t* text) { ShowAppMessageBox(nullptr, text, ProductName(), MB_ICONINFORMATION); }

// A settings text field as a string, up to its terminator or the end of the field.
template <size_t N>
std::wstring FieldText(const char16_t (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n]) ++n;
  return std::wstring(reinterpret_cast<const wchar_t*>(field), n);
}

// Appends as much of the text as fits, always leaving the buffer terminated.
void AppendBounded(wchar_t* buffer, size_t capacity, const wchar_t* text) {
  size_t used = wcsnlen(buffer, capacity);
  if (used >= capacity) {
    buffer[capacity - 1] = 0;
    return;
  }
  size_t room = capacity - 1 - used, n = wcslen(text);
  if (n > room) n = room;
  wmemcpy(buffer + used, text, n);
  buffer[used + n] = 0;
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
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT), window, IndexPrintDialogProc, 0);
}

// The navigation pane shows the folders as they are after the program moved files itself.
void RefreshNavigationPane() {
  g_treeDrivenByCode = 1;
  if (HWND nav = g_windowSlots[kSlotNavigationPane]) SendMessageW(nav, WM_COMMAND, kRefreshCommand, 0);
  g_treeDrivenByCode = 0;
  g_tempCaption = 0;
}

void CalculateMediaSplit() {
  if (g_listCount <= 0) return;
  if (!g_listReadyFlag) {
    Inform(L"現在イメージ読み込み中につき実行できませんでした。\nイメージが全て読み込み終わってから再度実行してください。");
    PauseBusy();
    return;
  }
  g_splitInformation = 1;
  int64_t bytes = 0;
  const int32_t files = ComputeMediaSplit(&MediaCount, &bytes);
  wchar_t size[64], text[512];
  FormatByteSize(size, bytes);
  if (MediaCount == 1)
    swprintf(text, 512, L"メディア 1個分に収まるデータ量( %ls )でした。", size);
  else if (g_settings.mediaSplitEven)
    swprintf(text, 512,
             L"メディア %d個分のデータ量でした。(均等に振分け指定)\nあと、約 %d個の画像ファイル( %ls )を削減するとメディア1つ節約できそうです。",
             MediaCount, files, size);
  else
    swprintf(text, 512,
             L"メディア %d個分のデータ量でした。\nあと、約 %d個の画像ファイル( %ls )を削減するとメディア1つ節約できそうです。",
             MediaCount, files, size);
  Inform(text);
  PauseBusy();
}

// The current folder's own name: the text after its last '\' or ':'.
std::wstring CurrentFolderName() {
  const wchar_t* name = g_currentFolder;
  for (const wchar_t* p = g_currentFolder; *p && p < g_currentFolder + kPathChars; ++p)
    if (*p == L'\\' || *p == L':') name = p + 1;
  return std::wstring(name, wcsnlen(name, g_currentFolder + kPathChars - name));
}

void DistributeToMediaFolders() {
  if (g_listCount <= 0) return;
  if (!g_splitInformation) {
    Inform(L"メディア容量分割に必要な情報がありません。\nメディア容量分割計算を実行し分割情報を作成してください。");
    PauseBusy();
    return;
  }
  if (!g_listReadyFlag) return;
  wchar_t line[600];
  swprintf(line, 600, L"メディア容量に合わせ下記の要領で%d個のサブフォルダにファイルを振分けます。\n\n", MediaCount);
  std::wstring text = line;
  const std::wstring prefix = g_settings.mediaFolderParentPrefix ? CurrentFolderName() : std::wstring();
  const std::wstring base = FieldText(g_settings.mediaFolderName);
  const int32_t folderDigits = g_settings.mediaFolderDigits;
  const int digits = (folderDigits >= 0 && folderDigits <= 3 ? folderDigits : 1) + 1;
  wchar_t format[] = L".\\%ls%ls%0xd\n";
  *wcschr(format, L'x') = static_cast<wchar_t>(L'0' + digits);
  for (int n = 1; n <= MediaCount && n <= 16; ++n) {
    swprintf(line, 600, format, prefix.c_str(), base.c_str(), n);
    text += line;
  }
  if (MediaCount > 16) text += L"以下略...\n";
  text += L"\n処理を実行してもよろしいですか？";
  if (AskYesNo(text.c_str()) == IDYES) {
    g_listLoadBlocked = 1;  // no list load may start while the files move
    MoveEntriesToMediaFolders();
    g_listLoadBlocked = 0;
    RefreshNavigationPane();
    g_splitInformation = 0;
    g_redrawFlag = 1;
  }
  PauseBusy();
}

constexpr size_t kMergeTextChars = 16640;
constexpr DWORD kSharingViolation = 32;

void MergeSubfolders() {
  if (g_windowSlots[kSlotSubfolderMerge]) return;
  if (DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(kSubfolderMergeDialog), MessageOwnerWindow,
                      SubfolderMergeDlgProc, 0) <= 0)
    return;
  std::vector<wchar_t> text(kMergeTextChars, 0);
  AppendBounded(text.data(), kMergeTextChars, L"下記のサブフォルダ内の画像ファイルを現在のフォルダに移動します。\n\n");
  if (WalkSubfolders(g_currentFolder, 1, text.data(), kMergeTextChars)) {
    text[kMergeTextChars - 1] = 0;
    const bool removeEmpty = g_settings.subfolderMergeDeleteEmpty != 0;
    if (removeEmpty)
      AppendBounded(text.data(), kMergeTextChars, L"\n※移動処理の後、空フォルダを削除する設定になっています。\n");
    AppendBounded(text.data(), kMergeTextChars, L"\n処理を実行してもよろしいですか？");
    if (AskYesNo(text.data()) == IDYES) {
      g_batchFileOpActive = 1;
      CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
      if (!MergeSubfolderImages(g_currentFolder, g_currentFolder, 1)) {
        Inform(L"処理を中断します。");
      } else if (removeEmpty) {
        // Twice: the shell may still hold a folder it has just emptied.
        Sleep(200);
        const DWORD first = RemoveEmptySubfolders(g_currentFolder, true);
        Sleep(200);
        RemoveEmptySubfolders(g_currentFolder, true);
        if (first == kSharingViolation)
          Inform(L"他のプロセスがファイルを使用している為、フォルダの削除ができませんでした。");
      }
      RefreshNavigationPane();
      g_batchFileOpActive = 0;
      ReloadCurrentList(0);
      ReleaseMouseCapture();
    }
  } else {
    Inform(L"サブフォルダが存在しませんでした。");
  }
  PauseBusy();
}

// The answer to a batch rename question: 2 cancel, 6 the rename settings first (the question
// comes again after them), 7 rename every row with the global settings.
void RunBatchRenameAnswer(int answer, int kind, int command) {
  if (answer == 6) {
    PendingSettingsPage = 9;
    PendingCommand = command;
    PendingCommandWindow = g_hwndMain;
    return;
  }
  if (answer != 7) return;
  SelectGlobalRenameSettings();
  CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
  for (int row = 0; row < g_listCount; ++row) {
    const int entry = g_displayOrder[row];
    const int32_t result = ExecuteEntryAction(entry, kind, L"", -1, 0);
    AddActionHistoryEntry(entry, kind, -3, result);
    if (ListPane()) SendMessageW(ListPane(), WM_COMMAND, kUpdateEntryRowCommand, row);
  }
  ReleaseMouseCapture();
}

constexpr UINT kConfirmSettingsBoxType = 0x40223;

void BatchRenameFolder() {
  if (!g_listReadyFlag) return;
  const std::wstring prefixText = FieldText(g_settings.renamePrefix);
  const wchar_t* nameType = RenameNameTypeText(g_settings.renameNameType, g_settings.renameDateJoiner);
  const wchar_t* first = nullptr;
  const int32_t prefixType = g_settings.renamePrefixType;
  if (prefixType == 1 && !prefixText.empty())
    first = prefixText.c_str();
  else if (prefixType >= 2 && prefixType <= 5)
    first = RenamePrefixTypeName(prefixType);
  wchar_t text[512];
  if (first)
    swprintf(text, 512, L"フォルダ内の画像ファイルを一括リネームしますがよろしいですか？\n\n リネーム設定 : [ %ls+%ls ]", first,
             nameType);
  else
    swprintf(text, 512, L"フォルダ内の画像ファイルを一括リネームしますがよろしいですか？\n\n リネーム設定 : [ %ls ]", nameType);
  RunBatchRenameAnswer(ShowConfirmSettingsBox(nullptr, text, ProductName(), kConfirmSettingsBoxType), 10, 32783);
}

void BatchReplaceRenameFolder() {
  if (!g_listReadyFlag) return;
  const std::wstring oldText = FieldText(g_settings.replaceRenameOld), newText = FieldText(g_settings.replaceRenameNew);
  if (oldText.empty()) {
    Inform(L"一括置換リネームに必要な置換文字列が設定されていません\n\n リネーム設定で文字列を指定してください。");
    PendingSettingsPage = 9;
    return;
  }
  wchar_t text[768];
  swprintf(text, 768,
           L"フォルダ内の画像ファイルを一括置換リネームしますがよろしいですか？\n\n 置換リネーム設定 : ファイル名にある文字列 [ %ls ] を 新文字列 [ %ls ] に置換リネームします。",
           oldText.c_str(), newText.c_str());
  RunBatchRenameAnswer(ShowConfirmSettingsBox(nullptr, text, ProductName(), kConfirmSettingsBoxType), 11, 32797);
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
    case 335: CalculateMediaSplit(); return true;
    case 307: DistributeToMediaFolders(); return true;
    case 309: MergeSubfolders(); return true;
    case 32783: BatchRenameFolder(); return true;
    case 32797: BatchReplaceRenameFolder(); return true;
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
