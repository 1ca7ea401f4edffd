// Page 5: the view-focus pattern and a preview of its tour.
#include <windows.h>

#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/settings.h"
#include "viewer/pure/view_focus_points.h"
#include "settings_dialog/settings_dialog.h"
#include "resources/settings_ids.h"

namespace {
const wchar_t* const kNames[kViewFocusTypes] = {L"中央＋４点外周", L"中央＋８点外周", L"中央＋４点外周(菱形)",
                                                L"中央＋８点外周(菱形)", L"中央＋８点円", L"中央＋１６点円"};
}

void DrawViewFocusPreview(HDC dc, HWND window) {
  RECT r;
  GetClientRect(window, &r);
  const int w = r.right, h = r.bottom;
  if (w <= 0 || h <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ oldPen = SelectObject(mem, pen);
  HGDIOBJ oldBrush = SelectObject(mem, GetStockObject(WHITE_BRUSH));
  int type = g_settings.viewFocusType;
  if (type < 0 || type >= kViewFocusTypes) type = 0;
  const int n = ViewFocusPointCounts[type];
  POINT at[kViewFocusMaxPoints];
  for (int i = 0; i < n; ++i) {
    int32_t x, y;
    PlaceFocusPoint(ViewFocusPointTable[type][i], w, h, &x, &y);
    at[i] = {x, y};
  }
  for (int i = 0; i < n; ++i) {
    MoveToEx(mem, at[i].x, at[i].y, nullptr);
    LineTo(mem, at[(i + 1) % n].x, at[(i + 1) % n].y);
  }
  for (int i = 0; i < n; ++i) Rectangle(mem, at[i].x - 4, at[i].y - 4, at[i].x + 4, at[i].y + 4);
  BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldBrush);
  SelectObject(mem, oldPen);
  SelectObject(mem, oldBitmap);
  DeleteObject(pen);
  DeleteObject(bitmap);
  DeleteDC(mem);
}

INT_PTR CALLBACK ViewFocusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[28] = page;
      HWND list = GetDlgItem(page, IDC_VIEW_FOCUS_TYPE);
      for (const wchar_t* name : kNames) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      SendMessageW(list, CB_SETCURSEL, g_settings.viewFocusType, 0);
      SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_VIEW_FOCUS_TYPE && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT sel = SendDlgItemMessageW(page, IDC_VIEW_FOCUS_TYPE, CB_GETCURSEL, 0, 0);
        if (sel >= 0 && sel < kViewFocusTypes) g_settings.viewFocusType = static_cast<int32_t>(sel);
      } else if (!(LOWORD(wParam) == kRefreshCommand && lParam == 0)) {
        return TRUE;
      }
      // The preview is owner-drawn: ask it to repaint rather than painting from here.
      InvalidateRect(GetDlgItem(page, IDC_VIEW_FOCUS_PREVIEW), nullptr, FALSE);
      return TRUE;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (d->CtlID != IDC_VIEW_FOCUS_PREVIEW) return FALSE;
      DrawViewFocusPreview(d->hDC, d->hwndItem);
      return TRUE;
    }
    case WM_NOTIFY:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 5, wParam);
    case WM_DESTROY: {
      const LRESULT sel = SendDlgItemMessageW(page, IDC_VIEW_FOCUS_TYPE, CB_GETCURSEL, 0, 0);
      if (sel >= 0 && sel < kViewFocusTypes) g_settings.viewFocusType = static_cast<int32_t>(sel);
      g_windowSlots[28] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}
