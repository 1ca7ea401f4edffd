#include "browser/about_dialogs.h"

#include <shellapi.h>
#include <gdiplus.h>
#include <cstring>
#include <cwchar>

#include "core/app_globals.h"
#include "core/window_slots.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/raw_develop.h"
#include "core/settings.h"
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
static HBITMAP g_aboutSiteBitmap = nullptr;
static HGLOBAL g_guidePicture = nullptr;

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

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotAbout] = dialog;
      const wchar_t* product = g_productName ? g_productName : L"";
      wchar_t line[128];
      if (lParam == 1) {
        swprintf(line, 128, L"%ls Ver%ls を公開。", product, g_publishedVersion);
        SetDlgItemTextW(dialog, IDC_VERSION_LINE, line);
        SetDlgItemTextW(dialog, IDC_NOTICE_LINE, L"すぐ最新版にアップグレードしてください。");
      } else {
        swprintf(line, 128, L"%ls Ver%ls", product, g_programVersion ? g_programVersion : L"");
        SetDlgItemTextW(dialog, IDC_VERSION_LINE, line);
        SetDlgItemTextW(dialog, IDC_NOTICE_LINE, g_noticeLine ? g_noticeLine : L"");
      }
      g_aboutSiteBitmap = LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(IDB_SITE_BUTTON));
      SendDlgItemMessageW(dialog, IDC_SITE_BUTTON, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(g_aboutSiteBitmap));
      CheckDlgButton(dialog, IDC_NOTIFY_NEW_VERSION, g_settings.notifyNewVersion ? BST_CHECKED : BST_UNCHECKED);
      break;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, LOWORD(wParam)); break;
        case IDC_SITE_BUTTON: OpenMakerSite(); break;
      }
      break;
    case WM_DESTROY:
      g_settings.notifyNewVersion = IsDlgButtonChecked(dialog, IDC_NOTIFY_NEW_VERSION) == BST_CHECKED ? 1 : 0;
      if (g_aboutSiteBitmap) DeleteObject(g_aboutSiteBitmap);
      g_aboutSiteBitmap = nullptr;
      g_windowSlots[kSlotAbout] = nullptr;
      break;
  }
  return 0;
}

static HGLOBAL CopyGuidePicture() {
  HRSRC found = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDR_GUIDE_PICTURE), L"JPG");
  HGLOBAL loaded = found ? LoadResource(g_hInstance, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(g_hInstance, found) : 0;
  if (!bytes || size == 0) return nullptr;
  HGLOBAL block = AllocGlobal(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  void* target = GlobalLock(block);
  if (!target) {
    FreeGlobal(block);
    return nullptr;
  }
  memcpy(target, bytes, size);
  GlobalUnlock(block);
  return block;
}

// The picture drawn 1:1 from the top-left corner, leaving out its first row and column.
static void PaintGuidePicture(HDC dc) {
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, g_guidePicture, false)) || !holder.stream) return;
  {
    Gdiplus::Image image(holder.stream, TRUE);
    if (image.GetLastStatus() == Gdiplus::Ok) {
      const INT width = static_cast<INT>(image.GetWidth()), height = static_cast<INT>(image.GetHeight());
      Gdiplus::Graphics graphics(dc);
      graphics.DrawImage(&image, Gdiplus::Rect(0, 0, width - 1, height - 1), 1, 1, width - 1, height - 1,
                         Gdiplus::UnitPixel);
    }
  }
  holder.stream->Release();
}

INT_PTR CALLBACK KeyGuideDlgProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotKeyGuide] = dialog;
      g_guidePicture = CopyGuidePicture();
      break;
    case WM_PAINT:
      // Painted between BeginPaint and EndPaint: a picture drawn before the default
      // processing would be wiped again by its background erase.
      if (g_guidePicture) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        PaintGuidePicture(dc);
        EndPaint(dialog, &paint);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      g_windowSlots[kSlotKeyGuide] = nullptr;
      // Modeless: EndDialog would only hide it.
      DestroyWindow(dialog);
      if (g_guidePicture) FreeGlobal(g_guidePicture);
      g_guidePicture = nullptr;
      PauseBusy();
      break;
  }
  return 0;
}
