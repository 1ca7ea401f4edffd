// The File Information window (floating dialog 212 or the pane docked in the navigation pane,
// dialog 229) and its six tab pages, each a child dialog with its own window slot.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int kFileInfoTabCount = 6;
enum FileInfoTab { kTabFile, kTabExif, kTabIptc, kTabComment, kTabGps, kTabPreview };

// What each tab shows: the entry number and its path. A tab rebuilds when either differs, so a
// list load that reuses entry numbers for other files never leaves a tab on the old file.
struct FileInfoShown {
  int32_t entry;
  wchar_t path[260];
};
extern FileInfoShown FileInfoShownEntry[kFileInfoTabCount];

INT_PTR CALLBACK FileInfoWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void SelectFileInfoTab(int tab);
// The list pane's File Information command: the floating window, or the docked pane shown or hidden.
void RunFileInfoCommand();

// The entry the tabs show (-1 none): the list's current row when the list is the view or has the
// focus, else the row the focused viewer pane shows.
int32_t FileInfoTargetEntry();
// For a tab's refresh: the target entry in *entry (-1 none) and whether it differs from what the
// tab shows, noting it as shown when it does.
bool TakeFileInfoTarget(int tab, int32_t* entry);
void MarkFileInfoTabStale(int tab);

// The two-column lists of the EXIF and GPS tabs: styles, columns with the kept widths, column
// order; and the selected rows as "value\tlabel\n" lines on the clipboard.
void SetUpInfoList(HWND list, const wchar_t* const* captions, const int32_t* widths, int columns, const int* order);

// The Exif and GPS tabs are one list filling the page; the messages they share (size, owner-drawn
// popup items, column widths kept on destroy, the right-click popup) are answered here.
struct InfoListTab {
  int listId;
  int slot;
  int32_t* widths;
  int columns;
  int menu;  // index into g_menus
};
bool HandleInfoListTabMessage(HWND page, const InfoListTab& tab, UINT message, LPARAM lParam, INT_PTR* result);
void CopyInfoListRows(HWND list);

INT_PTR CALLBACK FileTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ExifTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK IptcTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CommentTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GpsTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PreviewTabProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The PREVIEW tab's paint step (0 nothing, 1 quick picture, 2 final) and the ticks to wait
// before it repaints; the idle loop restarts both when the entry in focus changes.
extern int32_t PreviewPaintStep;
extern int32_t PreviewDelayTicks;
