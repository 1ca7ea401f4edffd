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
extern float g_cacheFileVersion;

extern HGLOBAL g_unknownPicture;
extern uint32_t g_unknownPictureSize;
extern COLORREF g_highlightColors[2];  // [0] darkened, [1] lightened
extern int g_uiScale;
extern uint8_t g_newVersionFound;
// The version text the version check fetched, at most 5 characters.
extern wchar_t g_publishedVersion[6];
extern wchar_t g_startFolder[kPathChars];
extern uint8_t g_openedByProgram;
// 1 while the program itself moves or renames files in a batch; the folder watcher then
// ignores what it sees.
extern uint8_t g_batchFileOpActive;

// The seven named semaphores, in creation order.
enum SemaphoreId { kSemaImage, kSemaRaw, kSemaDecoder, kSemaMovie, kSemaInterp, kSemaThumbInfo, kSemaFc, kSemaphoreCount };
extern HANDLE g_semaphores[kSemaphoreCount];
extern const wchar_t* const kSemaphoreNames[kSemaphoreCount];

// Work buffers of AllocGlobalBuffers.
extern wchar_t* g_iptcTabText;          // 131,070 bytes, zeroed
extern wchar_t* g_statusTexts;          // 11 x 2,048 bytes, zeroed
extern wchar_t* g_statusTextsShown;     // 11 x 2,048 bytes, zeroed
extern wchar_t* g_metadataWideBuffer;   // 16,384 bytes
extern wchar_t* g_overlayText;          // 3,072 bytes
extern uint16_t* g_displayOrder;        // 65,534 entries
extern wchar_t* g_orderWorkText;        // 65,534 bytes
extern void** g_entryPointers;          // 65,534 pointers
extern wchar_t* g_iptcWorkText;         // 16,384 bytes
extern wchar_t* g_searchMatchText;      // 16,384 bytes
extern wchar_t* g_gpsTabText;           // 16,384 bytes
extern wchar_t* g_scratchPath;          // 1,040 bytes
extern wchar_t* g_actionHistoryPath;    // 520 bytes
extern wchar_t* g_loadedFolderPath;     // 520 bytes, zeroed
extern wchar_t* g_targetFolder;         // 520 bytes

constexpr int kMaxEntries = 65534;

bool AllocGlobalBuffers();
void FreeGlobalBuffers();
bool LoadAppStrings(HINSTANCE instance);
void FreeAppStrings();
