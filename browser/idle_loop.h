// The idle timer: every tick serves the requests other code raised.
#pragma once
#include <windows.h>
#include <cstdint>

#include "browser/pure/idle_rules.h"
#include "core/idle_requests.h"

extern FolderOpenDelay g_folderOpenDelay;

void OnIdleTimer(HWND window);
// The folder tree asks for its selected folder to be loaded after the delay.
void RequestDelayedFolderOpen(int32_t arg0, int32_t arg1);
void SwitchFullScreen();
void SendCommandThroughRebar(int command);
