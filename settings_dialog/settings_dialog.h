// The preferences dialog: a tree and a tab control over 18 child pages that edit the
// settings block in place; everything is saved when it closes.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int kSettingsPageCount = 18;

// Set by pages whose changes invalidate thumbnails or entry information; read at close.
extern uint8_t ThumbnailRebuildFlag;
// The page windows by page index, 0 when not created.
extern HWND SettingsPageHandles[kSettingsPageCount];

// Opens the dialog modally at a page 0..17, or -1 for the page shown last.
void OpenSettingsDialog(HWND owner, int page);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void SelectSettingsPage(int page);
// Writes the current settings into the controls of every open page.
void RefreshSettingsPages();
// After the dialog and all its pages are gone: reload if needed, save, apply colours.
void ApplySettingsAfterClose();

// Page procedures (the pages with a binding table share one body).
INT_PTR CALLBACK ImageFormatsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK MovieFilesPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DisplayPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ThumbnailPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CacheSettingsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ViewFocusPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ColorsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FontsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK MediaSplitPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FavouritesPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ListItemsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK PerformancePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK WallpaperPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK MailAttachmentPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ToolboxButtonsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK GpsSettingsPageProc(HWND, UINT, WPARAM, LPARAM);

// The font page's bold checks of the list, file-name and information fonts from the settings;
// the fonts themselves are made again only when the page itself changes something.
void SetFontPageBoldChecks(HWND page);

// Bound pages: set every control of a page from its field, and enable by the rules.
void RefreshBoundPage(HWND page, int pageIndex);
// Stores the close-time effects of the bound fields compared with the block at opening.
void ApplyBoundPageEffects();
// The settings block as it was when the dialog opened.
const struct SettingsBlock& SettingsAtOpen();

void DrawViewFocusPreview(HDC dc, HWND window);

// WM_SETCURSOR of a page: its help table through the shared tooltip.
BOOL AnswerPageSetCursor(HWND page, int pageIndex, WPARAM wParam);
