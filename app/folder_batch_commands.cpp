#include "app/folder_batch_commands.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/batch_rename.h"
#include "actions/entry_actions.h"
#include "actions/media_split.h"
#include "browser/folder_dialogs.h"
#include "browser/navigation_pane.h"
#include "browser/status_bar.h"
#include "browser/toolbar_state.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/idle_requests.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/main_window_state.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "core/window_slots.h"

namespace {
HWND ListPane() { return g_windowSlots[kSlotFileListPane]; }

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

// The navigation pane shows the folders as they are after the program moved files itself.
void RefreshNavigationPane() {
  g_treeDrivenByCode = 1;
  if (HWND nav = g_windowSlots[kSlotNavigationPane]) SendMessageW(nav, WM_COMMAND, kRefreshCommand, 0);
  g_treeDrivenByCode = 0;
  g_tempCaption = 0;
}

// The current folder's own name: the text after its last '\' or ':'.
std::wstring CurrentFolderName() {
  const wchar_t* name = g_currentFolder;
  for (const wchar_t* p = g_currentFolder; *p && p < g_currentFolder + kPathChars; ++p)
    if (*p == L'\\' || *p == L':') name = p + 1;
  return std::wstring(name, wcsnlen(name, g_currentFolder + kPathChars - name));
}

constexpr size_t kMergeTextChars = 16640;
constexpr DWORD kSharingViolation = 32;

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
}  // namespace

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
