#include "core/sound_drivers.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

BOOL CALLBACK CountSoundDevices(PINIT_ONCE, void*, void**) {
  // The MIDI count loads the drivers of every kind but waveform sound, which the wave count
  // enumerates. Calling them from here also keeps the library imported by the program, so it
  // is never unloaded and loaded afresh with its drivers unloaded.
  midiOutGetNumDevs();
  waveOutGetNumDevs();
  return TRUE;
}

}  // namespace

void LoadSoundDriversOnce() {
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&once, CountSoundDevices, nullptr, nullptr);
}
