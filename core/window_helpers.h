// Window-side services shared by the panes and dialogs: fonts, clipboard text, hit tests,
// the one mouse capture with its cursor, the input method and the focus.
#pragma once
#include <windows.h>
#include <cstdint>

// Mouse capture: one at a time; the cursor id is set again by code that pumps messages.
extern uint8_t g_mouseCaptured;
extern HWND g_captureWindow;
extern LPCWSTR g_captureCursor;

// bold: only 1 means bold. ClearType from OS class 7 on. The caller deletes the font.
HFONT CreateUiFont(HDC ignored, const wchar_t* face, int height, uint8_t bold);
void CopyTextToClipboard(const wchar_t* text);
// Strictly inside: points on the edges are outside.
bool IsPointInWindow(HWND window, POINT screenPoint);
bool IsCursorOverWindow(HWND window);
// The point lies on what is shown of a visible window: inside its rectangle and the client
// areas of all its parents. A child keeps its size inside a parent shrunk to nothing.
bool IsPointOnShownPart(HWND window, POINT screenPoint);
void CaptureMouseWithCursor(HWND window, LPCWSTR cursorId);
void ReleaseMouseCapture();
void CloseIme(HWND window);
void SetFocusTo(HWND window);

// Refreshes of an edit from the value it stands for. The edit the user is typing into (it has the
// keyboard focus) and one whose text already gives the value keep their text: a rewrite puts the
// caret before what was typed, so "1" then "2" would read "21".
void ShowNumberInEdit(HWND edit, int32_t value);
void ShowTextInEdit(HWND edit, const wchar_t* text);
