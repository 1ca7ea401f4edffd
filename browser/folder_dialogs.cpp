#include "browser/folder_dialogs.h"

#include "core/window_slots.h"
#include "core/settings.h"

wchar_t g_newFolderNameText[256] = {};

namespace {

constexpr int kNewFolderSlot = 36;
constexpr int kSubfolderMergeSlot = 35;
constexpr int kNameEdit = 425;
constexpr int kOneLevelRadio = 406;
constexpr int kAllLevelsRadio = 407;
constexpr int kDeleteEmptyCheck = 311;

INT_PTR s_newFolderResult = 0;
INT_PTR s_mergeResult = 0;

void ShowMergeLevel(HWND dialog) {
  uint8_t all = g_settings.subfolderMergeAllLevels ? 1 : 0;
  CheckDlgButton(dialog, kOneLevelRadio, all ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, kAllLevelsRadio, all ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

INT_PTR CALLBACK NewFolderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kNewFolderSlot] = dialog;
      s_newFolderResult = 0;
      SendDlgItemMessageW(dialog, kNameEdit, EM_LIMITTEXT, 127, 0);
      SetDlgItemTextW(dialog, kNameEdit, L"新しいフォルダ");
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, kNameEdit, text, 256);
        if (!text[0]) return TRUE;
        wcscpy(g_newFolderNameText, text);
        s_newFolderResult = 1;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        s_newFolderResult = 0;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      g_windowSlots[kNewFolderSlot] = nullptr;
      EndDialog(dialog, s_newFolderResult);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK SubfolderMergeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSubfolderMergeSlot] = dialog;
      s_mergeResult = 0;
      ShowMergeLevel(dialog);
      CheckDlgButton(dialog, kDeleteEmptyCheck, g_settings.subfolderMergeDeleteEmpty ? BST_CHECKED : BST_UNCHECKED);
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kOneLevelRadio:
        case kAllLevelsRadio:
          g_settings.subfolderMergeAllLevels = LOWORD(wParam) == kAllLevelsRadio ? 1 : 0;
          ShowMergeLevel(dialog);
          return TRUE;
        case IDOK:
          s_mergeResult = 1;
          PostMessageW(dialog, WM_CLOSE, 0, 0);
          return TRUE;
        case IDCANCEL:
          PostMessageW(dialog, WM_CLOSE, 0, 0);
          return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      g_windowSlots[kSubfolderMergeSlot] = nullptr;
      EndDialog(dialog, s_mergeResult);
      return TRUE;
    case WM_DESTROY:
      g_settings.subfolderMergeDeleteEmpty = IsDlgButtonChecked(dialog, kDeleteEmptyCheck) == BST_CHECKED ? 1 : 0;
      return FALSE;
  }
  return FALSE;
}
