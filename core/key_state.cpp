#include "core/key_state.h"

#include "core/window_slots.h"

KeyHoldState g_keyHold = {{}, -1, 0};

namespace {

bool AsyncKeyDown(int32_t key, void*) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

struct FocusSearch {
  HWND focus;
  bool found;
};

BOOL CALLBACK MatchFocus(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<FocusSearch*>(param);
  if (child == search->focus) search->found = true;
  return TRUE;
}

}  // namespace

void ResetKeyStates() { ResetKeyHoldCounters(g_keyHold); }

void PollKeyStates() {
  if (IsFocusInFileInfoWindow() || IsFocusInIndexPrintDialog()) return;
  PollKeyHoldCounters(g_keyHold, AsyncKeyDown, nullptr);
}

bool IsKeyJustPressed(int32_t key) { return KeyJustPressed(g_keyHold, key); }
bool IsKeyHeld(int32_t key) { return KeyHeld(g_keyHold, key); }
bool IsKeyPressedOrRepeating(int32_t key) { return KeyPressedOrRepeating(g_keyHold, key); }

bool IsFocusInsideWindow(HWND window) {
  if (!window) return false;
  FocusSearch search{GetFocus(), false};
  if (!search.focus) return false;
  EnumChildWindows(window, MatchFocus, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsFocusInFileInfoWindow() { return IsFocusInsideWindow(g_windowSlots[kSlotFileInfo]); }
bool IsFocusInIndexPrintDialog() { return IsFocusInsideWindow(g_windowSlots[kSlotIndexPrint]); }
