// The rebar's seven bands and their controls, the two folder combos and the image-level
// status text.
#pragma once
#include <windows.h>
#include <cstdint>
#include "browser/pure/toolbar_tables.h"

enum BandKind { kBandMenuButton, kBandFavourites, kBandCacheHistory, kBandSlider, kBandActionHistory, kBandProgress,
                kBandToolbox };
constexpr int kFavouritesComboId = 211, kCacheHistoryComboId = 212, kSliderId = 339, kActionHistoryComboId = 325,
              kProgressId = 319, kToolboxId = 203, kMenuButtonToolbarId = 204, kToolMenuCommand = 205;

extern HWND g_hwndRebar;
extern HWND g_bandControls[kBandCount];

// The rebar window itself: a child of the main window with borders between bands.
HWND CreateRebarWindow(HWND mainWindow);
// Fills the rebar with the bands in the saved order. Given the main window instead of a
// rebar, creates the rebar first. Returns the rebar.
HWND CreateRebarBands(HWND rebarOrMainWindow);
void PrepareBandInfo();
void InsertRebarBand(const wchar_t* text, HWND child, int32_t width, int32_t height, int32_t kind, int32_t position);
void DeleteRebarBand(int index);
// Command 112: the toolbox band again from the toolbox list, at the same place.
void RebuildToolboxBand();
void SetRebarBandText(int32_t bandId, const wchar_t* text);

HWND CreateMenuButtonToolbar(HWND parent);
HWND CreateToolboxToolbar(HWND parent);
HWND CreateComboBoxExControl(HWND parent, int id, const wchar_t* text);
HWND CreateSliderControl(HWND parent);
HWND CreateProgressControl(HWND parent);

void FillFavouritesCombo();
void FillCacheHistoryCombo();
// The favourite row of the selected combo item (rows without a path are not listed), -1 none.
int GetSelectedFavouriteRow();
int GetSelectedCacheHistoryRow();

void ShowImageLevelStatus(int32_t row);
inline HWND CommandToolbar() { return g_bandControls[kBandToolbox]; }
