// The plain-form pages 0 to 4, driven by the binding table, with the few controls that
// have behaviour of their own.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "browser/main_window.h"
#include "browser/tooltips.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/folder_cache.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/image_lists.h"
#include "core/image_pipeline.h"
#include "core/settings.h"
#include "settings_dialog/pure/page_rules.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_help.h"
#include "resources/settings_ids.h"

namespace {
constexpr int kPageSlot[5] = {14, 15, 16, 17, 18};
constexpr wchar_t kDefaultMovieExtensions[] = L"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;";

// Set while controls are written from the settings, so their change notices store nothing.
int g_refreshing = 0;
HWND g_dropEdit;
WNDPROC g_dropEditPrevious;

bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void SetNumberText(HWND page, int id, int32_t v) {
  wchar_t text[16];
  wsprintfW(text, L"%d", v);
  SetDlgItemTextW(page, id, text);
}

void UpdateEnables(HWND page, int pageIndex) {
  for (int i = 0; i < kPageBindingCount; ++i) {
    const PageBinding& b = kPageBindings[i];
    if (b.page != pageIndex || !b.enableId) continue;
    const bool on = IsChecked(page, b.enableId) == (b.enableWhen != 0);
    EnableWindow(GetDlgItem(page, b.id), on);
  }
}

void SetControl(HWND page, const PageBinding& b) {
  HWND c = GetDlgItem(page, b.id);
  if (!c) return;
  const int32_t v = b.kind == BindKind::Text ? 0 : ReadBoundField(g_settings, b);
  switch (b.kind) {
    case BindKind::Check:
      CheckDlgButton(page, b.id, v ? BST_CHECKED : BST_UNCHECKED);
      break;
    case BindKind::MaskBit:
      CheckDlgButton(page, b.id, (static_cast<uint32_t>(v) & b.value) ? BST_CHECKED : BST_UNCHECKED);
      break;
    case BindKind::Radio:
      CheckDlgButton(page, b.id, static_cast<uint32_t>(v) == b.value ? BST_CHECKED : BST_UNCHECKED);
      break;
    case BindKind::Number:
      SetNumberText(page, b.id, v);
      break;
    case BindKind::Trackbar:
      SendMessageW(c, TBM_SETPOS, TRUE, v);
      break;
    case BindKind::Combo:
      SendMessageW(c, CB_SETCURSEL, v, 0);
      break;
    case BindKind::Text:
      SetWindowTextW(c, W(reinterpret_cast<char16_t*>(reinterpret_cast<uint8_t*>(&g_settings) + b.offset)));
      break;
  }
}

void StoreControl(HWND page, const PageBinding& b) {
  HWND c = GetDlgItem(page, b.id);
  if (!c) return;
  int32_t v = ReadBoundField(g_settings, b);
  switch (b.kind) {
    case BindKind::Check:
      v = IsChecked(page, b.id) ? 1 : 0;
      break;
    case BindKind::MaskBit:
      v = static_cast<int32_t>(IsChecked(page, b.id) ? (static_cast<uint32_t>(v) | b.value)
                                                     : (static_cast<uint32_t>(v) & ~b.value));
      break;
    case BindKind::Radio:
      if (!IsChecked(page, b.id)) return;
      v = static_cast<int32_t>(b.value);
      break;
    case BindKind::Number: {
      wchar_t text[16];
      GetWindowTextW(c, text, 16);
      int32_t typed;
      if (!ParseTypedNumber(reinterpret_cast<const char16_t*>(text), &typed)) return;
      if (!ApplyNumberRule(b, typed, &v)) return;
      break;
    }
    case BindKind::Trackbar:
      v = static_cast<int32_t>(SendMessageW(c, TBM_GETPOS, 0, 0));
      break;
    case BindKind::Combo: {
      const LRESULT sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
      if (sel < 0 || sel >= b.max) return;
      v = static_cast<int32_t>(sel);
      break;
    }
    case BindKind::Text: {
      wchar_t* field = W(reinterpret_cast<char16_t*>(reinterpret_cast<uint8_t*>(&g_settings) + b.offset));
      GetWindowTextW(c, field, b.max);
      return;
    }
  }
  WriteBoundField(g_settings, b, v);
}

void StoreBoundControl(HWND page, int pageIndex, int id) {
  for (int i = 0; i < kPageBindingCount; ++i)
    if (kPageBindings[i].page == pageIndex && kPageBindings[i].id == id) StoreControl(page, kPageBindings[i]);
}

void StorePage(HWND page, int pageIndex) {
  for (int i = 0; i < kPageBindingCount; ++i)
    if (kPageBindings[i].page == pageIndex) StoreControl(page, kPageBindings[i]);
}

void SetUpPage(HWND page, int pageIndex) {
  for (int i = 0; i < kPageBindingCount; ++i) {
    const PageBinding& b = kPageBindings[i];
    if (b.page != pageIndex) continue;
    HWND c = GetDlgItem(page, b.id);
    if (!c) continue;
    if (b.kind == BindKind::Number) {
      SendDlgItemMessageW(page, b.spinId, UDM_SETRANGE32, b.min, b.max);
      SendMessageW(c, EM_SETLIMITTEXT, b.textLimit, 0);
    } else if (b.kind == BindKind::Text) {
      SendMessageW(c, EM_SETLIMITTEXT, b.textLimit, 0);
    } else if (b.kind == BindKind::Trackbar) {
      SendMessageW(c, TBM_SETRANGEMIN, FALSE, b.min);
      SendMessageW(c, TBM_SETRANGEMAX, FALSE, b.max);
      SendMessageW(c, TBM_SETTIC, 0, 0);
    } else if (b.kind == BindKind::Combo) {
      for (int k = 0; k < b.max; ++k)
        SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(b.items[k])));
    }
  }
}

LRESULT CALLBACK FolderDropEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    wchar_t path[260];
    if (DragQueryFileW(drop, 0, path, 260)) SetWindowTextW(window, path);
    DragFinish(drop);
    return 0;  // the drop is released: nothing may read it afterwards
  }
  return CallWindowProcW(g_dropEditPrevious, window, message, wParam, lParam);
}

void OwnCommand(HWND page, int pageIndex, int id) {
  if (pageIndex == 1 && id == IDC_MOVIE_EXT_RESET) {
    SetDlgItemTextW(page, IDC_MOVIE_EXTENSIONS, kDefaultMovieExtensions);
    StoreBoundControl(page, 1, IDC_MOVIE_EXTENSIONS);
  } else if (pageIndex == 1 && id == IDC_CAPTURE_OPEN_FOLDER) {
    wchar_t folder[kPathChars];
    if (GetCaptureFolder(folder)) ShellExecuteW(GetShellWindow(), L"explore", folder, nullptr, nullptr, SW_SHOWNORMAL);
  } else if (pageIndex == 3 && (id == IDC_LIST_THUMB_DEFAULTS || id == IDC_VIEW_THUMB_DEFAULTS)) {
    const bool list = id == IDC_LIST_THUMB_DEFAULTS;
    ++g_refreshing;
    SetNumberText(page, list ? IDC_LIST_THUMB_WIDTH : IDC_VIEW_THUMB_WIDTH, list ? 28 : 88);
    SetNumberText(page, list ? IDC_LIST_THUMB_HEIGHT : IDC_VIEW_THUMB_HEIGHT, list ? 20 : 60);
    CheckDlgButton(page, list ? IDC_LIST_THUMB_FIT : IDC_VIEW_THUMB_FIT, list ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, list ? IDC_LIST_THUMB_NO_SHARPEN : IDC_VIEW_THUMB_NO_SHARPEN, BST_CHECKED);
    SendDlgItemMessageW(page, list ? IDC_LIST_THUMB_SHARPNESS : IDC_VIEW_THUMB_SHARPNESS, TBM_SETPOS, TRUE, 2);
    --g_refreshing;
    StorePage(page, 3);
  } else if (pageIndex == 4 && id == IDC_DATA_FOLDER_BROWSE) {
    wchar_t initial[kPathChars], chosen[kPathChars];
    GetDlgItemTextW(page, IDC_DATA_FOLDER, initial, kPathChars);
    if (ChooseFolder(page, initial, chosen)) SetDlgItemTextW(page, IDC_DATA_FOLDER, chosen);
  } else if (pageIndex == 4 && id == IDC_CACHE_CLEAR) {
    ConfirmAndClearDiskCache(page);
  }
}

INT_PTR BoundPageProc(int pageIndex, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kPageSlot[pageIndex]] = page;
      ++g_refreshing;
      SetUpPage(page, pageIndex);
      if (pageIndex == 1) {
        wchar_t folder[kPathChars];
        EnableWindow(GetDlgItem(page, IDC_CAPTURE_OPEN_FOLDER), GetCaptureFolder(folder) && FileExists(folder));
      } else if (pageIndex == 4) {
        HWND edit = GetDlgItem(page, IDC_DATA_FOLDER);
        SendMessageW(edit, EM_SETLIMITTEXT, 259, 0);
        SetWindowTextW(edit, W(g_settings.dataFolder));
        DragAcceptFiles(edit, TRUE);
        g_dropEdit = edit;
        g_dropEditPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderDropEditProc)));
        if (g_buttonBitmaps[0])
          SendDlgItemMessageW(page, IDC_DATA_FOLDER_BROWSE, BM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(g_buttonBitmaps[0]));
      }
      --g_refreshing;
      RefreshBoundPage(page, pageIndex);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (g_refreshing) return TRUE;
      if (code == BN_CLICKED || code == EN_CHANGE || code == CBN_SELCHANGE) {
        StoreBoundControl(page, pageIndex, id);
        if (code == BN_CLICKED) OwnCommand(page, pageIndex, id);
        UpdateEnables(page, pageIndex);
      }
      return TRUE;
    }
    case WM_HSCROLL:
      if (!g_refreshing && lParam) StoreBoundControl(page, pageIndex, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, pageIndex, wParam);
    case WM_DESTROY:
      StorePage(page, pageIndex);
      if (pageIndex == 4 && g_dropEdit) {
        SetWindowLongPtrW(g_dropEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dropEditPrevious));
        g_dropEdit = nullptr;
      }
      g_windowSlots[kPageSlot[pageIndex]] = nullptr;
      return FALSE;
  }
  return FALSE;
}
}  // namespace

void RefreshBoundPage(HWND page, int pageIndex) {
  ++g_refreshing;
  for (int i = 0; i < kPageBindingCount; ++i)
    if (kPageBindings[i].page == pageIndex && kPageBindings[i].kind != BindKind::Text) SetControl(page, kPageBindings[i]);
  // The extension list is the user's typing in progress; it is set only when the page opens.
  if (pageIndex == 1 && !GetWindowTextLengthW(GetDlgItem(page, IDC_MOVIE_EXTENSIONS)))
    for (int i = 0; i < kPageBindingCount; ++i)
      if (kPageBindings[i].kind == BindKind::Text) SetControl(page, kPageBindings[i]);
  --g_refreshing;
  UpdateEnables(page, pageIndex);
}

void ApplyBoundPageEffects() {
  const SettingsBlock& was = SettingsAtOpen();
  if (g_settings.captureLongSide == 0) g_settings.captureLongSide = 1;
  for (int i = 0; i < kPageBindingCount; ++i) {
    const PageBinding& b = kPageBindings[i];
    if (!b.effect || !BoundFieldDiffers(was, g_settings, b)) continue;
    if (b.effect & kEffectRebuild) ThumbnailRebuildFlag = 1;
    if (b.effect & kEffectRedraw) g_redrawFlag = 1;
    if (b.effect & kEffectRelayout) g_relayoutFlag = 1;
  }
  for (int i = 0; i < kPageBindingCount; ++i)
    if (kPageBindings[i].kind == BindKind::Text && BoundFieldDiffers(was, g_settings, kPageBindings[i]))
      ParseUserExtensions();
  if (g_settings.rawViewingMode != was.rawViewingMode)
    for (int e = 0; e < g_entryCount; ++e)
      if (ImageEntry* entry = EntryAt(e)) {
        ReleaseEntryLevel(entry, 2, 0);
        ReleaseEntryLevel(entry, 1, 0);
      }
  // Undocking closes the docked window at once; docking does not open one.
  if (was.fileInfoDockInTree && !g_settings.fileInfoDockInTree && g_windowSlots[kSlotFileInfo])
    SendMessageW(g_windowSlots[kSlotFileInfo], WM_DESTROY, 0, 0);
}

BOOL AnswerPageSetCursor(HWND page, int pageIndex, WPARAM wParam) {
  if (pageIndex < 0 || pageIndex >= kSettingsHelpPages) return FALSE;
  const SettingsHelpTable& t = kSettingsHelp[pageIndex];
  SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
  return AddControlTooltip(page, reinterpret_cast<HWND>(wParam), t.ids, t.texts, t.count);
}

INT_PTR CALLBACK ImageFormatsPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return BoundPageProc(0, p, m, w, l); }
INT_PTR CALLBACK MovieFilesPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return BoundPageProc(1, p, m, w, l); }
INT_PTR CALLBACK DisplayPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return BoundPageProc(2, p, m, w, l); }
INT_PTR CALLBACK ThumbnailPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return BoundPageProc(3, p, m, w, l); }
INT_PTR CALLBACK CacheSettingsPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return BoundPageProc(4, p, m, w, l); }
