// The 11-part status bar: texts are written as pending and pushed once per idle tick.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/status_counters.h"

void CreateStatusBar(HWND parent, HINSTANCE instance);
void PushStatusTexts();
void UpdateStatusCounters(uint32_t flags);
int FormatByteSize(wchar_t* out, int64_t bytes);
void SetStatusPartEdges(int32_t clientWidth);
