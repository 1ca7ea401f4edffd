// Whether the slideshow runs and when it last turned a page: the viewer reads them, the
// browser starts and stops the show.
#pragma once
#include <cstdint>

extern uint8_t SlideshowRunning;
extern uint32_t SlideshowStartTick;
