#include "core/message_box.h"

#include "core/app_globals.h"

volatile uint8_t BusyFlag = 0;
static volatile LONG g_busyDepth = 0;
HWND MessageOwnerWindow = nullptr;
HWND LastBrowseFocusWindow = nullptr;
HWND FocusRestoreWindow = nullptr;

void EnterBusy() {
  InterlockedIncrement(&g_busyDepth);
  BusyFlag = 1;
}

void LeaveBusy() {
  if (InterlockedDecrement(&g_busyDepth) <= 0) {
    g_busyDepth = 0;
    BusyFlag = 0;
  }
}

void PumpMessages(uint32_t milliseconds) {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Sleep(milliseconds);
}

void WaitAnsweringSentMessages(uint32_t milliseconds) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (;;) {
    QueryPerformanceCounter(&now);
    const int64_t spent = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    if (spent >= milliseconds) return;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds - spent), QS_SENDMESSAGE) ==
        WAIT_OBJECT_0) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers the sent ones
    }
  }
}

static int ShowWrappedBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type, bool relabel);

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  return ShowWrappedBox(owner, text, caption, type, false);
}

int ShowAppMessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
  return ShowWrappedBox(MessageOwnerWindow, text, caption, type, false);
}

int ShowConfirmSettingsBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
  return ShowWrappedBox(MessageOwnerWindow, text, caption, type, true);
}

// One hook per thread: a worker may show its own box while the UI thread shows another.
static thread_local HHOOK t_relabelHook = nullptr;

static LRESULT CALLBACK RenameMessageBoxButtonsHook(int code, WPARAM wParam, LPARAM lParam) {
  // Relabel once the box exists and before it is seen.
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    SetDlgItemTextW(box, IDYES, L"設定確認(&E)");
    SetDlgItemTextW(box, IDNO, L"はい(&Y)");
    SetDlgItemTextW(box, IDCANCEL, L"いいえ(&N)");
  }
  return CallNextHookEx(t_relabelHook, code, wParam, lParam);
}

static int ShowWrappedBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type, bool relabel) {
  // A box of the shut-down comes after the navigation pane is gone: the system refuses a box
  // whose owner no longer exists, and the user would never be told.
  if (owner && !IsWindow(owner)) owner = nullptr;
  EnterBusy();
  if (relabel)
    t_relabelHook = SetWindowsHookExW(WH_CBT, RenameMessageBoxButtonsHook, nullptr, GetCurrentThreadId());
  int result = MessageBoxW(owner, text, caption, type);
  if (relabel && t_relabelHook) {
    UnhookWindowsHookEx(t_relabelHook);
    t_relabelHook = nullptr;
  }
  Sleep(200);
  LeaveBusy();
  return result;
}

void PauseBusy() {
  EnterBusy();
  FocusRestoreWindow = LastBrowseFocusWindow;
  Sleep(200);
  LeaveBusy();
}

void SetFocusRestoreTarget(uint8_t flag) {
  if (flag == 1) FocusRestoreWindow = LastBrowseFocusWindow;
}
