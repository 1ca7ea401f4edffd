// Placement arithmetic of the main window: window rectangle clamps, splitter limits, the
// child rectangles for every view mode and split kind, the viewer pane grid and the status
// bar part edges. Plain numbers in and out; the window code applies the results.
#pragma once
#include <cstdint>

#include "core/pure/window_counts.h"

struct LayoutRect {
  int32_t x, y, w, h;
};
inline bool operator==(const LayoutRect& a, const LayoutRect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

constexpr int32_t kMinWindowWidth = 43;
constexpr int32_t kMinWindowHeight = 100;
constexpr int32_t kSplitterBar = 4;
constexpr int32_t kDockedInfoHeight = 280;

// The saved rectangle pulled onto a desktop of deskW x deskH. With a zero saved width or
// height the first-start rectangle is returned and *isDefault set (the caller stores it).
LayoutRect ClampWindowPlacement(LayoutRect saved, int32_t deskW, int32_t deskH, bool* isDefault);

// The rectangle being dragged (WM_SIZING), with the WMSZ_* edge code, kept at its minimum size.
void ClampSizingRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom, int32_t edge,
                     int32_t navigationWidth);

// A list splitter position kept inside a pane of the given extent (never below 64).
int32_t ClampListSplit(int32_t value, int32_t paneExtent);

struct MainLayoutInput {
  int32_t clientW, clientH;
  int32_t rebarH, statusH;  // 0 when hidden
  int32_t navigationWidth;
  int32_t uiScale;
  bool navigationShown;
  bool fullScreen;
  int32_t viewMode;        // bit 0 list, bit 1 viewer panes
  int32_t thumbSplitKind;  // 0-3, used in view mode 3
  int32_t listSplitHeight, listSplitWidth;
  int32_t dockedHeight;    // 0 or kDockedInfoHeight
};

struct MainLayout {
  LayoutRect statusBar, rebar;
  LayoutRect fileListPane, navigationPane;
  LayoutRect navigationTab, navigationTree, dockedInfo;  // inside the navigation pane
  LayoutRect list, panes;                                 // inside the file-list pane
  bool listPlaced, panesPlaced;
  bool listMovesWithPosition;  // side-by-side splits move the list when only its position changes
};

MainLayout ComputeMainLayout(const MainLayoutInput& in);

// Pane rectangles of a split layout over (x, y, w, h); returns the pane count.
int32_t ComputeViewerPaneRects(int32_t layout, int32_t x, int32_t y, int32_t w, int32_t h,
                               LayoutRect out[kMaxPanes]);

// Right edges of the 11 status-bar parts for a client width.
void ComputeStatusPartEdges(int32_t clientW, int32_t edges[kStatusPartCount]);
