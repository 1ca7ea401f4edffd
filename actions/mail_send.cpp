#include "actions/mail_send.h"

#include <commctrl.h>
#include <mapi.h>

#include <cstring>
#include <cwchar>
#include <memory>

#include "actions/action_history.h"
#include "actions/picture_export.h"
#include "actions/pure/export_geometry.h"
#include "actions/pure/mail_list.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/window_helpers.h"

namespace {

uint64_t SizeOfFile(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The path in the ANSI code page; a name the code page cannot spell goes by its short name.
std::string AnsiPath(const std::u16string& path) {
  wchar_t wide[kPathChars] = {};
  wcsncpy(wide, reinterpret_cast<const wchar_t*>(path.c_str()), kPathChars - 1);
  char out[520] = {};
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, &lossy);
  if (n > 0 && !lossy) return out;
  wchar_t shortPath[kPathChars] = {};
  const DWORD s = GetShortPathNameW(wide, shortPath, kPathChars);
  if (s == 0 || s >= kPathChars) return n > 0 ? out : "";
  lossy = FALSE;
  n = WideCharToMultiByte(CP_ACP, 0, shortPath, -1, out, sizeof out, nullptr, &lossy);
  return n > 0 ? out : "";
}

}  // namespace

MailAttachmentList::MailAttachmentList() : text(kMailListUnits, 0) {}

uint64_t AddMailAttachment(int32_t entry, MailAttachmentList* list) {
  if (entry < 0 || entry >= g_entryCount || !IsEntryFileInPlace(entry)) return 0;
  ImageEntry* e = EntryAt(entry);
  if (!e) return 0;
  wchar_t path[kPathChars] = {};
  if (g_settings.mailResizeAttachments == 1) {
    wchar_t stem[kPathChars] = {}, folder[kPathChars] = {};
    GetNameWithoutExtension(EntryName(e), stem);
    if (!GetMailFolder(folder)) return 0;
    EnsureFolderExists(folder, 0);
    // Pictures of one name from two folders would otherwise share (and overwrite) one copy.
    const std::u16string name = UniqueCopyStem(reinterpret_cast<const char16_t*>(stem), &list->copyNames);
    const int n = _snwprintf(path, kPathChars, L"%s%s%s", folder, reinterpret_cast<const wchar_t*>(name.c_str()), L".jpg");
    if (n < 0 || n >= kPathChars) return 0;
    if (!SaveResizedJpeg(e, path, g_settings.mailLongSide, g_settings.mailSharpness, g_settings.mailJpegQuality)) return 0;
  } else {
    wcsncpy(path, EntryPath(e), kPathChars - 1);
  }
  const uint64_t size = SizeOfFile(path);
  if (size == 0) return 0;
  if (!AppendMailAttachment(list->text.data(), list->text.size(), reinterpret_cast<const char16_t*>(path))) return 0;
  return size;
}

bool SendImagesByMail(const MailAttachmentList& list, int32_t count, const wchar_t* library) {
  const std::vector<std::u16string> paths = SplitMailAttachments(list.text.data());
  if (count < 0 || static_cast<size_t>(count) > paths.size()) count = static_cast<int32_t>(paths.size());
  std::vector<std::string> ansi(static_cast<size_t>(count));
  std::vector<MapiFileDesc> files(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    ansi[i] = AnsiPath(paths[i]);
    std::memset(&files[i], 0, sizeof files[i]);
    files[i].lpszPathName = const_cast<char*>(ansi[i].c_str());
  }
  char empty[1] = {0};
  MapiMessage message;
  std::memset(&message, 0, sizeof message);
  message.lpszSubject = empty;
  message.lpszNoteText = empty;
  message.nFileCount = static_cast<ULONG>(count);
  message.lpFiles = count ? files.data() : nullptr;
  wchar_t dll[MAX_PATH] = {};
  if (library) {
    wcsncpy(dll, library, MAX_PATH - 1);
  } else {
    // From the system folder only: a mapi32.dll beside a picture must never be loaded.
    const UINT n = GetSystemDirectoryW(dll, MAX_PATH);
    if (n == 0 || n + 12 >= MAX_PATH) return false;
    wcscat(dll, L"\\mapi32.dll");
  }
  HMODULE module = LoadLibraryW(dll);
  if (!module) return false;
  bool ok = false;
  auto send = reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(module, "MAPISendMail"));
  if (send) ok = send(0, 0, &message, MAPI_DIALOG, 0) == SUCCESS_SUCCESS;
  FreeLibrary(module);
  return ok;
}

void SendSelectionByMail(HWND owner) {
  auto list = std::make_unique<MailAttachmentList>();
  uint64_t total = 0;
  int32_t count = 0;
  auto add = [&](int32_t entry) {
    const uint64_t size = AddMailAttachment(entry, list.get());
    if (size) total += size, ++count;
  };
  const std::vector<int> rows = GetFileActionRows();
  if (rows.empty()) return;
  const bool listFocused = IsListFocused();
  if (listFocused) CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
  for (int row : rows) add(g_displayOrder[row]);
  if (listFocused) ReleaseMouseCapture();
  const std::u16string question = MailSizeQuestion(total);
  const int answer = ShowConfirmSettingsBox(owner, reinterpret_cast<const wchar_t*>(question.c_str()), g_productName,
                                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3 | MB_TOPMOST);
  if (answer == IDYES) {
    SendMessageW(g_hwndMain, WM_COMMAND, 232, 0);
    PendingCommand = 240;
    PendingCommandWindow = g_hwndMain;
  } else if (answer == IDNO) {
    SendImagesByMail(*list, count);
  }
  list.reset();
  PauseBusy();
}
