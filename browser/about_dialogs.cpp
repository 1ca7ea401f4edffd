#include "browser/about_dialogs.h"

#include <shellapi.h>
#include <cwchar>

#include "core/app_globals.h"
#include "browser/window_slots.h"
#include "resources/resource.h"

static const wchar_t kTermsText[] =
    L"Brannomere 使用許諾条件\r\n\r\n"
    L"1. 本ソフトウェアは、個人・法人を問わず無償で使用することができます。\r\n"
    L"2. 本ソフトウェアの著作権は作者に帰属します。改変したものを再配布することはできません。\r\n"
    L"3. 本ソフトウェアはファイルの複製・移動・削除・名前の変更・書き換えを行います。"
    L"大切なファイルは必ず事前にバックアップを取ってからお使いください。\r\n"
    L"4. 本ソフトウェアの使用によって生じたいかなる損害についても、作者は責任を負いません。\r\n"
    L"5. 本ソフトウェアは予告なく仕様を変更または配布を中止することがあります。\r\n\r\n"
    L"上記の条件に同意される場合のみ、本ソフトウェアをお使いいただけます。";

static HBITMAP g_termsSiteBitmap = nullptr;

void OpenMakerSite() {
  wchar_t url[128];
  swprintf(url, 128, L"%ls", g_siteUrl ? g_siteUrl : L"");
  ShellExecuteW(GetShellWindow(), L"open", url, L"", nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK TermsOfUseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotTermsOfUse] = dialog;
      g_termsSiteBitmap = LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(IDB_SITE_BUTTON));
      SendDlgItemMessageW(dialog, IDC_SITE_BUTTON, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(g_termsSiteBitmap));
      SetDlgItemTextW(dialog, IDC_NOTICE_LINE, g_noticeLine ? g_noticeLine : L"");
      SetDlgItemTextW(dialog, IDC_TERMS_TEXT, kTermsText);
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TERMS_AGREE: EndDialog(dialog, 1); break;
        case IDC_TERMS_DECLINE:
        case IDCANCEL: EndDialog(dialog, 0); break;
        case IDC_SITE_BUTTON: OpenMakerSite(); break;
      }
      break;
    case WM_DESTROY:
      if (g_termsSiteBitmap) DeleteObject(g_termsSiteBitmap);
      g_termsSiteBitmap = nullptr;
      g_windowSlots[kSlotTermsOfUse] = nullptr;
      break;
  }
  return 0;
}
