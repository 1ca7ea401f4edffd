// The status bar's part edges and the file counters the actions raise.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pure/window_counts.h"

extern int32_t g_statusPartEdges[kStatusPartCount];
extern volatile int32_t g_copyCount, g_moveCount, g_deleteCount;

// Each part's text is written as pending (g_statusTexts) and pushed once per idle tick.
constexpr int kStatusPartChars = 1024;
void SetStatusPartText(int part, const wchar_t* text);
