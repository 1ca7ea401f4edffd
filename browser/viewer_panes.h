// Viewer pane layout, the rows the panes show, paging, the wheel, and the pane subclasses.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pane_state.h"
#include "viewer/pane_cursor.h"

void LayoutViewerPanes(int x, int y, int width, int height);
void AssignPaneEntries();
// No pane shows or holds a row (a new list, a new pane).
void ResetPaneRows();
void SyncListSelectionWithView();
void ShowNextImage();
void ShowPreviousImage();
void HandleMouseWheel(WPARAM wParam);
void UpdateZoomModeFromKeys();
void UpdateMainMenuState();

LRESULT CALLBACK ViewerPaneSubclassProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListHeaderSubclassProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
void InstallPaneSubclasses(HWND fileListPane);
