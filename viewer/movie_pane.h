// A movie row in a viewer pane: once its playback is asked for (the strip's play button, the
// automatic-play setting or the slideshow), its video window plays inside the pane instead of
// the still frame being drawn there.
#pragma once
#include <windows.h>
#include <cstdint>

struct ImageEntry;

// For the painter: marks the entry's playback as asked for when movies start by themselves (the
// setting, or a running slideshow); true when it is asked for, so the pane belongs to the movie.
bool MovieWantsPane(ImageEntry* entry);

// Opens and runs the row's movie in the pane (render thread, "sema" held). Returns the pane's
// paint result: 0 while the entry waits for new levels, -2 without pictures or a vanished entry,
// else 1. *opened tells whether the movie is open now; when it is not (no free slot, a file that
// does not render) the caller draws the still frame and a later paint tries again.
int32_t PaintMoviePane(HDC paneDc, HWND paneWindow, int32_t row, int32_t paneIndex, int32_t keepBuffer,
                       bool* opened);

// True while a pane of the current layout shows the entry.
bool IsEntryShownInPane(int32_t entry);
