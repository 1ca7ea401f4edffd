#include "browser/numlock.h"

#include <windows.h>
#include <cstdint>

#include "core/settings.h"

namespace {
uint8_t g_numLockTurnedOn, g_numLockWasOn;

bool NumLockOn() { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }
void PressNumLock() {
  keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY, 0);
  keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}
}  // namespace

void TurnNumLockOn() {
  if (!g_settings.numLockOnAtStart) return;
  if (NumLockOn()) {
    g_numLockWasOn = 1;
    return;
  }
  g_numLockTurnedOn = 1;
  g_numLockWasOn = 0;
  PressNumLock();
}

void RestoreNumLock() {
  if (g_numLockTurnedOn && !g_numLockWasOn && NumLockOn()) PressNumLock();
  g_numLockTurnedOn = 0;
}
