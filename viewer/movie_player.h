// Movies playing inside the viewer panes through DirectShow: one filter graph per open movie
// (eight at most), its video window a child of the pane that shows it, and the control strip
// shown over the bottom of such a pane. Every use of the graphs and of the slot table holds
// "sema_mov"; a holder takes no other semaphore, so the order is always "sema", "sema_mov".
#pragma once
#include <windows.h>
#include <cstdint>

struct IVideoWindow;
struct IMediaControl;
struct IGraphBuilder;

constexpr int kMovieSlotCount = 8;
constexpr int kMovieStripHeight = 19;

// A slot is free while its graph is null.
struct MovieSlot {
  int32_t entry;  // -1 none
  IVideoWindow* videoWindow;
  IMediaControl* mediaControl;
  IGraphBuilder* graph;
};
extern MovieSlot g_movieSlots[kMovieSlotCount];

// The entry the strip acts on (-1 while hidden), the two drags, and the flag word a position
// drag saved when it paused a playing movie.
extern int32_t g_movieEntry;
extern uint8_t g_moviePositionDragging;
extern uint8_t g_movieVolumeDragging;
extern uint16_t g_movieFlagsBeforeSeek;

// The pane's side (the painter, on the render thread): open and run the entry's movie with its
// video window filling the pane; refit it; move it to the pane that now shows its row.
void OpenMovieInPane(HWND pane, int32_t entry);
void ResizeMovieWindow(int32_t entry, HWND pane);
void AttachMovieWindowToPane(int32_t row);

// Stop and close the entry's movie; every open movie; forget the slots' entries.
void ReleaseMovieSlot(int32_t entry);
void ReleaseAllMovieSlots();
void ResetMovieSlots();
// The entry number of a slot holding a graph, else -1.
int32_t GetMovieSlotEntry(int32_t slot);

void GetMoviePosition(int32_t entry);
void ApplyMoviePosition(int32_t entry);
void ApplyMovieVolume(int32_t entry);
// Takes one event of the movie's queue: true when it was the end of the playback.
bool IsMoviePlaybackComplete(int32_t entry);

// From the idle loop: the strip over the pane under the cursor; true while it is shown.
bool UpdateMovieControls();
void UpdateMovieTimeText(int32_t entry);

INT_PTR CALLBACK MovieControlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL ShowMovieControlTooltip(HWND dialog, HWND windowUnderCursor, const int* ids, const wchar_t* const* texts,
                             int count);
