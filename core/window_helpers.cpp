#include "core/window_helpers.h"

#include <imm.h>

#include <cstring>

#include "core/app_globals.h"

uint8_t g_mouseCaptured;
HWND g_captureWindow;
LPCWSTR g_captureCursor;

HFONT CreateUiFont(HDC, const wchar_t* face, int height, uint8_t bold) {
  return CreateFontW(height, 0, 0, 0, bold == 1 ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, g_osClass >= 7 ? CLEARTYPE_QUALITY : PROOF_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

void CopyTextToClipboard(const wchar_t* text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes);
  if (block) {
    if (void* p = GlobalLock(block)) {
      std::memcpy(p, text, bytes);
      GlobalUnlock(block);
      if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    } else {
      GlobalFree(block);
    }
  }
  CloseClipboard();
}

bool IsPointInWindow(HWND window, POINT p) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  return p.x > r.left && p.x < r.right && p.y > r.top && p.y < r.bottom;
}

bool IsCursorOverWindow(HWND window) {
  if (!IsWindowVisible(window)) return false;
  POINT p;
  return GetCursorPos(&p) && IsPointInWindow(window, p);
}

bool IsPointOnShownPart(HWND window, POINT p) {
  RECT shown;
  if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &shown)) return false;
  for (HWND w = window; GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD;) {
    if (!(w = GetParent(w))) break;
    RECT client;
    GetClientRect(w, &client);
    MapWindowPoints(w, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    if (!IntersectRect(&shown, &shown, &client)) return false;
  }
  return PtInRect(&shown, p) != 0;
}

void CaptureMouseWithCursor(HWND window, LPCWSTR cursorId) {
  if (g_mouseCaptured) return;
  if (window) {
    SetCapture(window);
    g_mouseCaptured = 1;
    g_captureWindow = window;
  }
  g_captureCursor = cursorId;
  SetCursor(LoadCursorW(nullptr, cursorId));
}

void ReleaseMouseCapture() {
  if (g_mouseCaptured) {
    ReleaseCapture();
    g_mouseCaptured = 0;
    g_captureWindow = nullptr;
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void CloseIme(HWND window) {
  if (HIMC context = ImmGetContext(window)) {
    ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(window, context);
  }
}

void SetFocusTo(HWND window) { SetFocus(window); }
