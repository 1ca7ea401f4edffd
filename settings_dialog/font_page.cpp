// Page 7: the list and main-screen fonts. Every change is stored at once and the list fonts
// are made again and handed to the main window's controls while the dialog is open.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <initializer_list>

#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "resources/resource.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_more_ids.h"

namespace {
constexpr int kSlot = 25;
constexpr wchar_t kDefaultFace[] = L"ＭＳ Ｐゴシック";

// The page's own fonts: the ones the windows were created with stay with their owners.
HFONT g_pageListFont, g_pageTreeFont, g_pageBandFont;
HWND g_faceCombo1, g_faceCombo2;
int g_refreshing = 0;

struct SizeRow {
  int edit, spin;
  int32_t SettingsBlock::*field;
};
const SizeRow kSizes[4] = {
    {IDC_FONT_LIST_SIZE, IDC_FONT_LIST_SIZE_SPIN, &SettingsBlock::listFontSize},
    {IDC_FONT_NAME_SIZE, IDC_FONT_NAME_SIZE_SPIN, &SettingsBlock::fileNameFontSize},
    {IDC_FONT_INFO_SIZE, IDC_FONT_INFO_SIZE_SPIN, &SettingsBlock::infoFontSize},
    {IDC_FONT_DATE_SIZE, IDC_FONT_DATE_SIZE_SPIN, &SettingsBlock::shootingDateFontSize},
};

void Refresh(HWND page) { SendMessageW(page, WM_COMMAND, kRefreshCommand, 0); }

void CopySelectedFace(HWND combo, char16_t* field) {
  const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (sel < 0) return;
  const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0);
  if (n < 0 || n >= 128) return;  // never cut a face name into the field
  wchar_t face[128];
  SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(face));
  wcscpy(W(field), face);
}

void Replace(HFONT* slot, HFONT font) {
  if (*slot) DeleteObject(*slot);
  *slot = font;
}

void SetFontOn(HWND window, HFONT font) {
  if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// Gives the list, tree and band fonts made from the current settings to the main window's
// controls; the previous fonts of this page are released only after the controls let go.
void ApplyListFonts() {
  const wchar_t* face = W(g_settings.listFontFace);
  const uint8_t bold = g_settings.listFontBold;
  HFONT list = CreateUiFont(nullptr, face, g_settings.listFontSize, bold);
  // The trees take the lists' size as the navigation pane does when it builds them.
  HFONT tree = CreateUiFont(nullptr, face, g_settings.listFontSize, bold);
  HFONT band = CreateUiFont(nullptr, face, 12 * g_uiScale, bold);
  HWND pane = g_windowSlots[kSlotFileListPane];
  SetFontOn(pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr, list);
  HWND nav = g_windowSlots[kSlotNavigationPane];
  if (nav) {
    SetFontOn(GetDlgItem(nav, IDC_FOLDER_TREE), tree);
    SetFontOn(GetDlgItem(nav, IDC_COLLECTION_TREE), tree);
    SetFontOn(GetDlgItem(nav, IDC_NAVIGATION_TAB), band);
  }
  SetFontOn(g_hwndRebar, band);
  for (int kind : {kBandFavourites, kBandCacheHistory, kBandActionHistory}) SetFontOn(g_bandControls[kind], band);
  Replace(&g_pageListFont, list);
  Replace(&g_pageTreeFont, tree);
  Replace(&g_pageBandFont, band);
}

int CALLBACK AddFontFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM combo) {
  if (font->lfFaceName[0] != L'@')  // vertical-writing faces are not offered
    SendMessageW(reinterpret_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
  return 1;
}

void FillFontFaceCombo(HWND page, HWND combo) {
  SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  HDC dc = GetDC(page);
  EnumFontFamiliesW(dc, nullptr, AddFontFace, reinterpret_cast<LPARAM>(combo));
  ReleaseDC(page, dc);
}

void SelectFontFace(HWND combo, const char16_t* face) {
  const LRESULT at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(W(face)));
  SendMessageW(combo, CB_SETCURSEL, at, 0);
}

void SetChecks(HWND page) {
  SetFontPageBoldChecks(page);
  CheckDlgButton(page, IDC_FONT_DATE_BOLD, g_settings.shootingDateFontBold ? BST_CHECKED : BST_UNCHECKED);
}

void StoreSize(HWND page, const SizeRow& row) {
  wchar_t text[16];
  GetDlgItemTextW(page, row.edit, text, 16);
  if (text[0]) {
    const int32_t v = static_cast<int32_t>(wcstol(text, nullptr, 10));
    if (v != g_settings.*row.field) {
      g_settings.*row.field = v;
      Refresh(page);
    }
  }
  // A typed size outside the arrows' range is kept: only a valid arrow position replaces it.
  BOOL error = TRUE;
  const int32_t pos = static_cast<int32_t>(SendDlgItemMessageW(page, row.spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
  if (!error && pos != g_settings.*row.field) {
    g_settings.*row.field = pos;
    Refresh(page);
  }
}

void RefreshPage(HWND page) {
  ++g_refreshing;
  for (const SizeRow& row : kSizes) ShowNumberInEdit(GetDlgItem(page, row.edit), g_settings.*row.field);
  --g_refreshing;
  CopySelectedFace(g_faceCombo2, g_settings.listFontFace);
  CopySelectedFace(g_faceCombo1, g_settings.mainFontFace);
  ApplyListFonts();
  HWND pane = g_windowSlots[kSlotFileListPane];
  if (pane) {
    InvalidateRect(GetDlgItem(pane, IDC_FILE_LIST), nullptr, TRUE);
    InvalidateRect(pane, nullptr, TRUE);
  }
  if (HWND print = g_windowSlots[kSlotIndexPrint]) InvalidateRect(print, nullptr, TRUE);
}

void ResetGroup(HWND page, int button) {
  switch (button) {
    case IDC_FONT_LIST_RESET:
      wcscpy(W(g_settings.listFontFace), kDefaultFace);
      g_settings.listFontSize = 12;
      g_settings.listFontBold = 0;
      SelectFontFace(g_faceCombo2, g_settings.listFontFace);
      break;
    case IDC_FONT_MAIN_RESET:
      wcscpy(W(g_settings.mainFontFace), kDefaultFace);
      g_settings.fileNameFontSize = 12;
      g_settings.fileNameFontBold = 0;
      SelectFontFace(g_faceCombo1, g_settings.mainFontFace);
      break;
    case IDC_FONT_INFO_RESET:
      g_settings.infoFontSize = 10;
      g_settings.infoFontBold = 0;
      break;
    case IDC_FONT_DATE_RESET:
      g_settings.shootingDateFontSize = 20;
      g_settings.shootingDateFontBold = 0;
      break;
  }
  SetChecks(page);
  Refresh(page);
}
}  // namespace

void SetFontPageBoldChecks(HWND page) {
  CheckDlgButton(page, IDC_FONT_LIST_BOLD, g_settings.listFontBold ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_FONT_NAME_BOLD, g_settings.fileNameFontBold ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_FONT_INFO_BOLD, g_settings.infoFontBold ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK FontsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlot] = page;
      ++g_refreshing;
      for (const SizeRow& row : kSizes) {
        SendDlgItemMessageW(page, row.edit, EM_SETLIMITTEXT, 2, 0);
        InitUpDownControl(GetDlgItem(page, row.spin), GetDlgItem(page, row.edit), 6, 48, g_settings.*row.field);
      }
      SetChecks(page);
      g_faceCombo2 = GetDlgItem(page, IDC_FONT_LIST_FACE);
      g_faceCombo1 = GetDlgItem(page, IDC_FONT_MAIN_FACE);
      FillFontFaceCombo(page, g_faceCombo2);
      SelectFontFace(g_faceCombo2, g_settings.listFontFace);
      FillFontFaceCombo(page, g_faceCombo1);
      SelectFontFace(g_faceCombo1, g_settings.mainFontFace);
      --g_refreshing;
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) {
        RefreshPage(page);
        return TRUE;
      }
      if (g_refreshing) return TRUE;
      if (code == EN_CHANGE) {
        for (const SizeRow& row : kSizes)
          if (row.edit == id) StoreSize(page, row);
      } else if (code == BN_CLICKED) {
        const bool on = IsDlgButtonChecked(page, id) == BST_CHECKED;
        if (id == IDC_FONT_LIST_BOLD) g_settings.listFontBold = on;
        else if (id == IDC_FONT_NAME_BOLD) g_settings.fileNameFontBold = on;
        else if (id == IDC_FONT_INFO_BOLD) g_settings.infoFontBold = on;
        else if (id == IDC_FONT_DATE_BOLD) g_settings.shootingDateFontBold = on;
        if (id == IDC_FONT_LIST_RESET || id == IDC_FONT_MAIN_RESET || id == IDC_FONT_INFO_RESET ||
            id == IDC_FONT_DATE_RESET)
          ResetGroup(page, id);
        else
          Refresh(page);
      } else if (code == CBN_SELCHANGE && (id == IDC_FONT_LIST_FACE || id == IDC_FONT_MAIN_FACE)) {
        Refresh(page);
      }
      return TRUE;
    }
    case WM_NOTIFY:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 7, wParam);
    case WM_DESTROY:
      g_windowSlots[kSlot] = nullptr;
      g_faceCombo1 = g_faceCombo2 = nullptr;
      return FALSE;
  }
  return FALSE;
}
