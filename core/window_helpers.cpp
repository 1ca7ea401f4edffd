#include "core/window_helpers.h"

#include <imm.h>

#include <cstring>
#include <cwchar>
#include <string>

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

namespace {
constexpr int kEditTextChars = 16;
bool BeingTyped(HWND edit) { return GetFocus() == edit; }
}  // namespace

void ShowNumberInEdit(HWND edit, int32_t value) {
  if (!edit || BeingTyped(edit)) return;
  wchar_t text[kEditTextChars] = {};
  GetWindowTextW(edit, text, kEditTextChars);
  wchar_t* end = nullptr;
  if (text[0] && std::wcstol(text, &end, 10) == value && !*end) return;
  wchar_t shown[kEditTextChars];
  swprintf(shown, kEditTextChars, L"%d", value);
  SetWindowTextW(edit, shown);
}

void ShowTextInEdit(HWND edit, const wchar_t* text) {
  if (!edit || BeingTyped(edit)) return;
  const int n = GetWindowTextLengthW(edit);
  std::wstring now(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(edit, &now[0], n + 1);
  if (std::wcscmp(now.c_str(), text) != 0) SetWindowTextW(edit, text);
}
