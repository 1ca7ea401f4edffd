#include "core/folder_helpers.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "core/app_globals.h"
#include "core/message_box.h"
#include "core/path_utils.h"

namespace {

constexpr size_t kFileBufferChars = 1024;

bool CopyChosenPath(const wchar_t* chosen, wchar_t* out) {
  return CopyText(U16(out), kPathUnits, U16(chosen));
}

}  // namespace

uint8_t EnsureFolderExists(const wchar_t* path, uint8_t ask) {
  wchar_t folder[kPathUnits];
  if (!CopyText(U16(folder), kPathUnits, U16(path))) return 0;
  size_t n = wcslen(folder);
  if (n > 0 && folder[n - 1] != L'\\') {
    if (n + 1 >= kPathUnits) return 0;
    folder[n++] = L'\\';
    folder[n] = 0;
  }
  if (ask == 1 && GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) {
    wchar_t text[kPathUnits + 64];
    swprintf(text, sizeof text / sizeof text[0], L"フォルダ %ls は存在しません。\n\n作成しますか？", folder);
    if (ShowAppMessageBox(nullptr, text, g_productName, 0x40134) != IDYES) return 0;
  }
  for (size_t i = 0; i < n; ++i) {
    if (folder[i] != L'\\' || i == 0 || folder[i - 1] == L':' || folder[i - 1] == L'\\') continue;
    folder[i] = 0;
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder, nullptr);
    folder[i] = L'\\';
  }
  const DWORD attributes = GetFileAttributesW(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int CALLBACK BrowseFolderCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

uint8_t ChooseFolder(HWND owner, wchar_t* initialFolder, wchar_t* out) {
  BROWSEINFOW info;
  ZeroMemory(&info, sizeof info);
  info.hwndOwner = owner;
  info.pszDisplayName = initialFolder;
  info.lpszTitle = L"ディレクトリ選択";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = BrowseFolderCallback;
  info.lParam = reinterpret_cast<LPARAM>(initialFolder);
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (!chosen) return 0;
  const bool ok = SHGetPathFromIDListW(chosen, out) != 0;
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
    allocator->Free(chosen);
    allocator->Release();
  }
  return ok ? 1 : 0;
}

namespace {

void FillFileDialog(OPENFILENAMEW& dialog, HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* fileBuffer) {
  ZeroMemory(&dialog, sizeof dialog);
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.hInstance = g_hInstance;
  dialog.lpstrFilter = filter;
  dialog.lpstrTitle = title;
  dialog.lpstrFile = fileBuffer;
  dialog.nMaxFile = kFileBufferChars;
}

}  // namespace

uint8_t ChooseOpenFile(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* fileBuffer, wchar_t* out) {
  OPENFILENAMEW dialog;
  FillFileDialog(dialog, owner, filter, title, fileBuffer);
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  return GetOpenFileNameW(&dialog) && CopyChosenPath(fileBuffer, out) ? 1 : 0;
}

uint8_t ChooseSaveFile(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* fileBuffer, wchar_t* out,
                       const wchar_t* defaultExtension) {
  OPENFILENAMEW dialog;
  FillFileDialog(dialog, owner, filter, title, fileBuffer);
  // A save chooser must accept a name that does not exist yet.
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  dialog.lpstrDefExt = defaultExtension;
  return GetSaveFileNameW(&dialog) && CopyChosenPath(fileBuffer, out) ? 1 : 0;
}

void InitUpDownControl(HWND upDown, HWND buddy, int minimum, int maximum, int position) {
  SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  SendMessageW(upDown, UDM_SETRANGE32, minimum, maximum);
  SendMessageW(upDown, UDM_SETPOS32, 0, position);
}
