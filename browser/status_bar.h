// The 11-part status bar: texts are written as pending and pushed once per idle tick.
#pragma once
#include <windows.h>
#include <cstdint>

extern int32_t g_statusPartEdges[11];
extern volatile int32_t g_copyCount, g_moveCount, g_deleteCount;

void CreateStatusBar(HWND parent, HINSTANCE instance);
void SetStatusPartText(int part, const wchar_t* text);
void PushStatusTexts();
void UpdateStatusCounters(uint32_t flags);
int FormatByteSize(wchar_t* out, int64_t bytes);
void SetStatusPartEdges(int32_t clientWidth);
