// Replace-rename: one text replaced by another in the names of the files, extensions left alone.
#include <windows.h>

#include <cwchar>

#include "actions/action_history.h"
#include "actions/batch_rename.h"
#include "actions/rename_support.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/text_replace.h"

namespace {

constexpr int32_t kReplaceKind = 11;

ReplaceTexts TextsOf(int32_t row) {
  ReplaceTexts t{};
  if (!ActionRowRename(row, nullptr, &t)) t = GlobalReplaceTexts();
  return t;
}

// A change of letter case alone goes through a temporary name: a rename onto the same name
// may be taken as done without touching the name (Wine does so). leftAt: the temporary path when
// the file could neither take the new name nor go back (else empty).
bool MoveFileChangingCase(const wchar_t* from, const wchar_t* to, const wchar_t* folder, const wchar_t* name,
                          wchar_t* leftAt) {
  leftAt[0] = 0;
  if (CompareTextNoCase(from, to) != 0) return MoveOwnFile(from, to);
  wchar_t temporary[kPathChars];
  for (int counter = 0; counter < 10000; ++counter) {
    const int n = swprintf(temporary, kPathChars, L"%ls\\%04d_%ls", folder, counter, name);
    if (n < 0 || n >= kPathChars) return false;
    if (PathExists(temporary)) continue;
    if (!MoveOwnFile(from, temporary)) return false;
    if (g_renameTemporaryReached) g_renameTemporaryReached(temporary);
    if (MoveOwnFile(temporary, to)) return true;
    if (!MoveOwnFile(temporary, from)) wcsncpy(leftAt, temporary, kPathChars);
    return false;
  }
  return false;
}

}  // namespace

bool ReplaceTextIsEmpty(int32_t row) { return TextsOf(row).oldText[0] == 0; }

void FormatReplaceRenameText(wchar_t* out, int32_t row) {
  const ReplaceTexts t = TextsOf(row);
  if (!FormatReplaceTexts(t.oldText, t.newText, U16(out), kRenameTextChars)) out[0] = 0;
}

int32_t ReplaceRenameFiles(int32_t entry, int32_t row) {
  g_pendingUndoPath[0] = 0;
  int32_t result = kActionSkipped;
  const ReplaceTexts texts = TextsOf(row);
  const wchar_t* oldText = reinterpret_cast<const wchar_t*>(texts.oldText);
  const wchar_t* newText = reinterpret_cast<const wchar_t*>(texts.newText);
  if (wcscmp(oldText, newText) == 0) return result;
  RenameInProgress = 1;
  const bool caseOnly = CompareTextNoCase(oldText, newText) == 0;
  const bool allRows = entry == -1;

  for (const RangeItem& item : RenameRange(entry)) {
    ImageEntry* e = EntryAt(item.entry);
    const wchar_t* path = EntryPath(e);
    if (!FileExists(path)) continue;
    wchar_t folder[kPathChars], stem[kPathChars] = {}, newPath[kPathChars];
    if (!FolderOfPath(path, folder)) continue;
    const wchar_t* name = EntryName(e);
    const wchar_t* extension = reinterpret_cast<const wchar_t*>(ExtensionOf(U16(name)));
    wmemcpy(stem, name, extension - name);
    if (!ReplaceAllInPath(stem, oldText, newText)) continue;
    const int length = swprintf(newPath, kPathChars, L"%ls\\%ls%ls", folder, stem, extension);
    if (length < 0 || length >= kPathChars) continue;
    // A replacement that gives back the very same name changes nothing.
    if (wcscmp(newPath, path) == 0) continue;
    if (PathExists(newPath) && !caseOnly) continue;
    // The new name stays one name in the same folder: no separator may creep in.
    if (!IsValidFilePath(newPath) || !IsValidItemName(newPath + wcslen(folder) + 1)) {
      RenameInProgress = 0;
      ShowAppMessageBox(nullptr,
                        L"置換ファイル名が不正です。\nファイル名に使用できない文字列が含まれていないか確認してください。",
                        g_productName, MB_ICONERROR);
      return kActionFailed;
    }
    wchar_t oldPath[kPathChars];
    wcsncpy(oldPath, path, kPathChars);
    wchar_t leftAt[kPathChars];
    if (MoveFileChangingCase(oldPath, newPath, folder, name, leftAt)) {
      SetEntryPath(e, newPath);
      // A collection keeps finding the file under its new name.
      if (g_listSource != 0) ReplacePathInCurrentCollection(oldPath, newPath);
      wcsncpy(g_pendingUndoPath, oldPath, kPathChars);
      if (allRows) {
        AddActionHistoryEntry(item.entry, kReplaceKind, -3, kActionDone);
        g_pendingUndoPath[0] = 0;
      }
      SendEntryRowUpdate(item.row);
      result = kActionDone;
    } else if (leftAt[0]) {
      ReportLeftAtTemporaryName(e, item.entry, item.row, kReplaceKind, oldPath, leftAt, allRows);
      if (!allRows) result = kActionFailed;
    }
    Sleep(1);
  }
  RenameInProgress = 0;
  return result;
}
