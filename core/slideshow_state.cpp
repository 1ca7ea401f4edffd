#include "core/slideshow_state.h"

uint8_t SlideshowRunning;
uint32_t SlideshowStartTick;
