// The slideshow: picture view, full screen and no tree while it runs; the states it changed
// come back when it stops.
#pragma once
#include <cstdint>

#include "core/slideshow_state.h"

void StartSlideshow();
void StopSlideshow(int ignored = 0, int reason = 0);
