#include "core/sound_drivers.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

BOOL CALLBACK CountSoundDevices(PINIT_ONCE, void*, void**) {
  // Any device count loads every driver type; calling it from here also keeps the library
  // imported by the program, so it is never unloaded and loaded afresh with its drivers unloaded.
  waveOutGetNumDevs();
  return TRUE;
}

}  // namespace

void LoadSoundDriversOnce() {
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&once, CountSoundDevices, nullptr, nullptr);
}
