#include "actions/action_path_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "actions/action_table.h"
#include "actions/pure/action_path_rules.h"
#include "browser/icon_lists.h"
#include "browser/pure/hot_key_text.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"

namespace {
int32_t g_row = -1;
INT_PTR g_result = 0;
WNDPROC g_editPrevious;
HICON g_browseIcon;

LRESULT CALLBACK PathEditDropProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeDroppedPath(edit, message, wParam)) return 0;
  return CallWindowProcW(g_editPrevious, edit, message, wParam, lParam);
}

void Fail(HWND dialog, const wchar_t* text) { MessageBoxW(dialog, text, g_productName, MB_ICONERROR); }

void Confirm(HWND dialog) {
  ActionEntry* row = ActionRowAt(g_row);
  if (!row) return;
  wchar_t typed[kPathChars] = L"";
  GetDlgItemTextW(dialog, IDC_ACTION_PATH_EDIT, typed, kPathChars);
  if (IsActionFolderKind(row->kind)) {
    if (!typed[0]) return Fail(dialog, W(ActionFolderEmptyText(row->kind)));
    if (!IsValidFolderPath(typed)) return Fail(dialog, W(ActionFolderInvalidText(row->kind)));
  }
  char16_t path[kPathChars];
  if (!FinishTypedActionPath(dialog, typed, row->kind, path)) return;
  wcscpy(W(row->path), W(path));
  row->askAtRunTime = IsDlgButtonChecked(dialog, IDC_ACTION_PATH_KEEP) == BST_CHECKED ? 0 : 1;
  g_result = 1;
  SendMessageW(dialog, WM_CLOSE, 0, 0);
}
}  // namespace

bool TakeDroppedPath(HWND edit, UINT message, WPARAM wParam) {
  if (message != WM_DROPFILES) return false;
  HDROP drop = reinterpret_cast<HDROP>(wParam);
  wchar_t name[kPathChars];
  if (DragQueryFileW(drop, 0, name, kPathChars)) SetWindowTextW(edit, name);
  DragFinish(drop);
  return true;  // the drop is released here: nothing may read it afterwards
}

bool FinishTypedActionPath(HWND dialog, const wchar_t* typed, int32_t kind, char16_t* out) {
  switch (FinishActionPath(U16(typed), kind, out, kPathChars)) {
    case ActionPathResult::kLeadingBackslash:
      Fail(dialog, L"フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。");
      return false;
    case ActionPathResult::kTooLong:
      Fail(dialog, L"フォルダ名が長すぎます。\n短いパスを入力してください。");
      return false;
    case ActionPathResult::kOk:
      break;
  }
  return true;
}

INT_PTR CALLBACK ActionPathInputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotActionPath] = dialog;
      g_result = 0;
      g_row = static_cast<int32_t>(lParam);
      const ActionEntry* row = ActionRowAt(g_row);
      if (!row) {
        EndDialog(dialog, 0);
        g_windowSlots[kSlotActionPath] = nullptr;
        return TRUE;
      }
      HWND edit = GetDlgItem(dialog, IDC_ACTION_PATH_EDIT);
      SendMessageW(edit, EM_SETLIMITTEXT, kPathChars - 1, 0);
      DragAcceptFiles(edit, TRUE);
      g_editPrevious = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PathEditDropProc)));
      if (!g_browseIcon && g_favouriteIcons) g_browseIcon = ImageList_GetIcon(g_favouriteIcons, 0, ILD_NORMAL);
      if (g_browseIcon)
        SendDlgItemMessageW(dialog, IDC_ACTION_PATH_BROWSE, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(g_browseIcon));
      const std::u16string key = TargetKeyName(row->targetKey);
      wchar_t title[512];
      swprintf(title, 512, L"%ls　[ %ls ]　アクション%ls入力してください。", W(key.c_str()),
               W(ActionKindLongName(row->kind)), W(ActionPathQuestionPhrase(row->kind)));
      SetDlgItemTextW(dialog, IDC_ACTION_PATH_TITLE, title);
      SetWindowTextW(edit, W(row->path));
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          Confirm(dialog);
          return TRUE;
        case IDCANCEL:
          g_result = 0;
          SendMessageW(dialog, WM_CLOSE, 0, 0);
          return TRUE;
        case IDC_ACTION_PATH_BROWSE: {
          wchar_t initial[kPathChars], chosen[kPathChars];
          GetDlgItemTextW(dialog, IDC_ACTION_PATH_EDIT, initial, kPathChars);
          if (ChooseFolder(dialog, initial, chosen) == 1) SetDlgItemTextW(dialog, IDC_ACTION_PATH_EDIT, chosen);
          return TRUE;
        }
      }
      return FALSE;
    case WM_CLOSE:
      if (g_editPrevious) {
        SetWindowLongPtrW(GetDlgItem(dialog, IDC_ACTION_PATH_EDIT), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editPrevious));
        g_editPrevious = nullptr;
      }
      g_windowSlots[kSlotActionPath] = nullptr;
      EndDialog(dialog, g_result);
      return TRUE;
  }
  return FALSE;
}
