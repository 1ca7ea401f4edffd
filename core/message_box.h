// Message-box wrappers, the busy flag, the one-message pump and focus bookkeeping.
#pragma once
#include <windows.h>
#include <cstdint>

// 1 while a box, a shell file operation, a list load or a pause runs; the idle timer then
// only polls the keys. Nested setters are counted so an inner one cannot clear it early.
extern volatile uint8_t BusyFlag;
void EnterBusy();
void LeaveBusy();

extern HWND MessageOwnerWindow;
extern HWND LastBrowseFocusWindow;
extern HWND FocusRestoreWindow;

void PumpMessages(uint32_t milliseconds);
// Waits the given time, answering the messages other threads send to this one (no other kind).
void WaitAnsweringSentMessages(uint32_t milliseconds);
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
int ShowAppMessageBox(HWND ignored, const wchar_t* text, const wchar_t* caption, UINT type);
int ShowConfirmSettingsBox(HWND ignored, const wchar_t* text, const wchar_t* caption, UINT type);
void PauseBusy();
void SetFocusRestoreTarget(uint8_t flag);
