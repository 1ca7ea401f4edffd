#pragma once

// Loads the system's sound drivers on the calling thread unless they are loaded already; other
// threads calling meanwhile wait until the load has ended. Called before a movie graph is
// built: the multimedia library loads its drivers on the first device count without a lock, so
// two graphs built at once on two threads could both load them, and one would call a driver
// entry the other has just cleared.
void LoadSoundDriversOnce();
