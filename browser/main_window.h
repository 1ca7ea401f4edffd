// The main frame window: the one registered window class of the program, its child layout,
// and the state the browsing surface shares.
#pragma once
#include <windows.h>
#include <cstdint>

#include "browser/rebar_bands.h"
#include "core/main_window_state.h"
#include "core/window_slots.h"

// The three splitters live in the settings' working copies: navigation width, list split
// height, list split width.
int32_t& NavigationWidth();
int32_t& ListSplitHeight();
int32_t& ListSplitWidth();


LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
ATOM RegisterMainWindowClass(HINSTANCE instance);
uint8_t CreateMainWindow(HINSTANCE instance, int showCommand);
// Copies the window placement, the rebar bands and the list columns into the settings block.
void CollectWindowSettings();

void LayoutMainWindow(int32_t width, int32_t height);
int32_t GetRebarHeight();
bool MoveWindowIfResized(HWND window, int x, int y, int width, int height, BOOL repaint);
bool MoveWindowIfChanged(HWND window, int x, int y, int width, int height, BOOL repaint);
LRESULT CALLBACK SubclassRebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The rebar and status-bar visibility the cursor asks for in full screen.
void WantedFullScreenBars(bool* rebarShown, bool* statusShown);
