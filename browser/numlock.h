// Switches NumLock on while the program runs when the settings ask for it.
#pragma once

void TurnNumLockOn();
void RestoreNumLock();
