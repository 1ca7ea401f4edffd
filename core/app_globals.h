// Process-wide records created by the start-up sequence and released at shut-down.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int kPathChars = 260;

extern HINSTANCE g_hInstance;
extern int g_osClass;
extern wchar_t g_programFolder[kPathChars];

// Application strings 103..110, loaded once at start-up.
extern wchar_t* g_productName;     // 103
extern wchar_t* g_programVersion;  // 104
extern wchar_t* g_noticeLine;      // 105
extern wchar_t* g_siteUrl;         // 106
extern wchar_t* g_feedbackUrl;     // 107
extern wchar_t* g_versionFileUrl;  // 108
extern wchar_t* g_windowClassName; // 109
extern wchar_t* g_cacheVersionText;// 110

extern HGLOBAL g_unknownPicture;
extern uint32_t g_unknownPictureSize;
extern COLORREF g_highlightColors[2];  // [0] darkened, [1] lightened
extern int g_uiScale;
extern uint8_t g_newVersionFound;
// The version text the version check fetched, at most 5 characters.
extern wchar_t g_publishedVersion[6];
extern wchar_t g_startFolder[kPathChars];
// 1 while the program itself moves or renames files in a batch; the folder watcher then
// ignores what it sees.
extern uint8_t g_batchFileOpActive;

// The seven named semaphores, in creation order.
enum SemaphoreId { kSemaImage, kSemaRaw, kSemaDecoder, kSemaMovie, kSemaInterp, kSemaThumbInfo, kSemaFc, kSemaphoreCount };
extern HANDLE g_semaphores[kSemaphoreCount];
extern const wchar_t* const kSemaphoreNames[kSemaphoreCount];

// Work buffers of AllocGlobalBuffers.
extern wchar_t* g_statusTexts;          // 11 x 2,048 bytes, zeroed
extern wchar_t* g_statusTextsShown;     // 11 x 2,048 bytes, zeroed
extern wchar_t* g_overlayText;          // 3,072 bytes
extern uint16_t* g_displayOrder;        // 65,534 entries
extern void** g_entryPointers;          // 65,534 pointers
extern wchar_t* g_scratchPath;          // 1,040 bytes
extern wchar_t* g_loadedFolderPath;     // 520 bytes, zeroed
extern wchar_t* g_targetFolder;         // 520 bytes

constexpr int kMaxEntries = 65534;

bool AllocGlobalBuffers();
void FreeGlobalBuffers();
bool LoadAppStrings(HINSTANCE instance);
void FreeAppStrings();

// Main-window display state: the caption shows a passing text instead of the folder; the viewer
// grid lines are drawn.
extern uint8_t g_tempCaption, g_gridShown;
// The list row the list thread last reported as shown.
extern volatile int32_t g_shownRowMarker;
// The two windows of the program held outside the slot table.
extern HWND g_extraOwnWindows[2];
// View switching between the main window and the list thread.
extern uint8_t g_viewSwitchRequest;
extern uint8_t g_listThreadAskedSwitch;
extern int32_t g_lastViewMode;
// The left button went down on a viewer pane and is still held.
extern uint8_t g_leftHeldOnViewer;
// Main-window commands: the thumbnail-split request, the reload selection mode of the next
// refresh and the colour profiles of screen and printer.
extern uint8_t g_thumbnailSplitRequest;
extern int32_t g_reloadSelectionMode;
extern wchar_t g_monitorProfilePath[kPathChars], g_printerProfilePath[kPathChars];
extern volatile uint8_t g_screenProfileChanged;
