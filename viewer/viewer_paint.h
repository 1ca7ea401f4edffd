// The viewer pane painter: the best cached picture of a row drawn fitted, zoomed or under the
// loupe into one shared back buffer, the information overlay on top, then copied to the pane.
#pragma once
#include <windows.h>
#include <cstdint>

#include "viewer/pure/viewer_geometry.h"

struct ImageEntry;
namespace Gdiplus {
class Graphics;
class Image;
}  // namespace Gdiplus

// -2 no picture, -1 not ready, 0 preliminary, 1 final.
enum PanePaintResult : int32_t { kPaneNoPicture = -2, kPaneNotReady = -1, kPanePreliminary = 0, kPaneFinal = 1 };

// Set after a quick draw while paging; the idle tick clears it and asks for a full-quality one.
extern volatile uint8_t FastDrawPending;
// The zoom step is ZoomBaseStep + MagnificationStep (the offset the wheel and keys change).
extern int32_t ZoomBaseStep;
// Size of the picture each pane last drew, in picture pixels.
extern int32_t g_panePictureW[4], g_panePictureH[4];
// The source window each pane last showed zoomed, in picture pixels (0 before any zoomed draw).
extern int32_t g_paneViewW[4], g_paneViewH[4];

int32_t PaintViewerPane(HDC paneDc, HWND paneWindow, int32_t row, int32_t paneIndex, int32_t keepBuffer);
// Takes the panes' device contexts anew after they moved (user-interface thread).
void RefreshPaneDcs();
// Every pane of the layout painted for no row (user-interface thread, list empty).
void PaintAllPanesBlank();

void DrawImageFitted(Gdiplus::Graphics* g, Gdiplus::Image* image, int32_t w, int32_t h, PaneRect* out);
void DrawImageZoomed(Gdiplus::Graphics* g, Gdiplus::Image* image, int32_t w, int32_t h, int32_t paneIndex,
                     PaneRect* out, float factor, int32_t reduction);
void DrawCentredMessage(Gdiplus::Graphics* g, const wchar_t* text, int32_t w, int32_t h);
void DrawInfoOverlay(Gdiplus::Graphics* g, ImageEntry* entry, int32_t w, int32_t h, int32_t row, int32_t paneIndex,
                     const PaneRect& picture);
// The information line of an entry, in the shared overlay text buffer.
const wchar_t* FormatInfoLine(ImageEntry* entry);
// Makes GDI+ decode the entry's level picture now (caller holds "sema").
void TouchEntryImage(ImageEntry* entry, int level);
// Frees the back buffer (end of the program).
void FreeViewerBackBuffer();
