// The COMMENT tab: the JPEG comment of the entry in focus, editable and written back.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "core/main_window_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/safe_file.h"
#include "core/write_failure.h"
#include "metadata/file_info_window.h"
#include "metadata/image_info_win.h"
#include "metadata/jpeg_writers.h"
#include "metadata/metadata_reader.h"
#include "resources/resource.h"

namespace {
uint8_t g_commentEditMode = 0;
constexpr uint32_t kJpegTypeFlag = 0x2;
const wchar_t kUnwritableCharacterComment[] = L"Windowsの文字コードにない文字が含まれているため、コメントを書き出せません。";

bool IsJpegEntry(int32_t entry) { return entry >= 0 && (EntryAt(entry)->info.fileTypeFlag & kJpegTypeFlag) != 0; }

void ApplyEditMode(HWND page, int32_t entry) {
  SendDlgItemMessageW(page, IDC_COMMENT_EDIT, EM_SETREADONLY, !(IsJpegEntry(entry) && g_commentEditMode), 0);
}

// The comment shown: its bytes, and the text of those before its first zero byte (an edit box
// ends its text there). A write keeps the bytes from that zero on, and writes the bytes as they
// were when the text is still the one shown.
std::string g_commentShownBytes;
std::wstring g_commentShownText;

void RefreshCommentTab(HWND page) {
  int32_t entry;
  const bool changed = TakeFileInfoTarget(kTabComment, &entry);
  if (entry < 0) {
    SetDlgItemTextW(page, IDC_COMMENT_EDIT, L"");
    EnableWindow(GetDlgItem(page, IDC_TAB_TOGGLE), FALSE);
    EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), FALSE);
    return;
  }
  if (!changed) return;
  long length = -1;
  g_commentShownBytes.clear();
  g_commentShownText.clear();
  if (g_entryCount > 0) {
    length = 0;
    if (ReadJpegComment(EntryPath(EntryAt(entry)))) {
      length = static_cast<long>(g_jpegCommentLength);
      g_commentShownBytes.assign(g_jpegCommentBuffer, g_jpegCommentLength);
      g_commentShownText = MetadataBytesToWide(g_jpegCommentBuffer, strlen(g_jpegCommentBuffer));
    }
  }
  SetDlgItemTextW(page, IDC_COMMENT_EDIT,
                  length > 0 ? g_commentShownText.c_str() : L"コメント情報が見つかりませんでした。");
  EnableWindow(GetDlgItem(page, IDC_TAB_TOGGLE), length != -1 && IsJpegEntry(entry));
  ApplyEditMode(page, entry);
  EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), FALSE);
}

void WriteComment(HWND page) {
  const int32_t entry = FileInfoShownEntry[kTabComment].entry;
  // The tab writes only into the file it showed; once the list changed or the file was renamed
  // that file is no longer known. The typed text stays in the box.
  if (g_entryCount <= 0 || entry < 0 || entry >= g_entryCount ||
      wcscmp(FileInfoShownEntry[kTabComment].path, EntryPath(EntryAt(entry))) != 0) {
    ShowMessageBox(page, L"ファイル一覧が更新されたため、コメントを書き出せませんでした。", g_productName, 0x30);
    return;
  }
  HWND edit = GetDlgItem(page, IDC_COMMENT_EDIT);
  const int chars = GetWindowTextLengthW(edit);
  std::vector<wchar_t> text(static_cast<size_t>(chars) + 1, 0);
  GetWindowTextW(edit, text.data(), chars + 1);
  const wchar_t* const failed = L"コメントを書き出せませんでした。";  // the typed text stays, to be written again
  std::string bytes = g_commentShownBytes;
  if (g_commentShownText != text.data()) {
    if (!WideToMetadataBytes(text.data(), wcslen(text.data()), false, bytes)) {
      ShowMessageBox(page, kUnwritableCharacterComment, g_productName, 0x30);
      return;
    }
    // The bytes after a zero byte are not shown and stay with an edited comment; a cleared box
    // clears them too, or the comment the user emptied would still be there.
    const size_t zero = g_commentShownBytes.find('\0');
    if (zero != std::string::npos && text[0]) bytes.append(g_commentShownBytes, zero, std::string::npos);
  }
  if (bytes.size() > kMaxCommentBytes) {
    ShowMessageBox(page, L"コメントが長すぎるため書き出せません。\n(65533バイトまで)", g_productName, 0x30);
    return;
  }
  if (!WriteJpegCommentBytes(FileInfoShownEntry[kTabComment].path, reinterpret_cast<const uint8_t*>(bytes.data()),
                             bytes.size())) {
    const std::wstring failure = WriteFailureText(failed, FileInfoShownEntry[kTabComment].path,
                                                  g_lastSegmentWrite == SegmentWriteResult::kIoFailed ? LastWriteError() : 0);
    ShowMessageBox(page, failure.c_str(), g_productName, 0x30);
    return;
  }
  RereadEntryRecord(entry);
  // Read the file back, so what the tab shows is what the file holds.
  MarkFileInfoTabStale(kTabComment);
  SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
  EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), FALSE);
}

void LayOutCommentTab(HWND page, int w, int h) {
  MoveWindow(GetDlgItem(page, IDC_COMMENT_EDIT), 0, 0, w, h - 18 > 0 ? h - 18 : 0, TRUE);
  MoveWindow(GetDlgItem(page, IDC_TAB_TOGGLE), 0, h - 18, w / 2, 18, TRUE);
  MoveWindow(GetDlgItem(page, IDC_TAB_WRITE), w / 2, h - 18, w / 2, 18, TRUE);
}
}  // namespace

INT_PTR CALLBACK CommentTabProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotInfoTabComment] = page;
      EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), FALSE);
      g_commentEditMode = 0;
      SendDlgItemMessageW(page, IDC_COMMENT_EDIT, EM_SETLIMITTEXT, kJpegCommentSize - 1, 0);
      return TRUE;
    case WM_SIZE:
      LayOutCommentTab(page, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_NOTIFY:
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_DESTROY:
      if (g_windowSlots[kSlotInfoTabComment] == page) g_windowSlots[kSlotInfoTabComment] = nullptr;
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kRefreshCommand:
          RefreshCommentTab(page);
          return TRUE;
        case IDC_COMMENT_EDIT:
          if (HIWORD(wParam) == EN_CHANGE) EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), TRUE);
          return TRUE;
        case IDC_TAB_TOGGLE:
          g_commentEditMode = !g_commentEditMode;
          SendDlgItemMessageW(page, IDC_COMMENT_EDIT, EM_SETREADONLY, !g_commentEditMode, 0);
          return TRUE;
        case IDC_TAB_WRITE:
          WriteComment(page);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
