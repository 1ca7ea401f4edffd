// Keyboard commands come from polling every virtual key on each idle tick, not from key messages.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pure/key_hold.h"

// Counters, the injected key (set it to replay a key once) and the suspend byte (set around
// dialogs and label editing so the queries answer false).
extern KeyHoldState g_keyHold;

void ResetKeyStates();
void PollKeyStates();
bool IsKeyJustPressed(int32_t key);
bool IsKeyHeld(int32_t key);
bool IsKeyPressedOrRepeating(int32_t key);
// True when the window with the keyboard focus is a descendant (not the window itself) of the window.
bool IsFocusInsideWindow(HWND window);
bool IsFocusInFileInfoWindow();
bool IsFocusInIndexPrintDialog();
