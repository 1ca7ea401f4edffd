#include "core/app_globals.h"

#include <cstdlib>
#include <cstring>

#include "resources/resource.h"

HINSTANCE g_hInstance = nullptr;
int g_osClass = 0;
wchar_t g_programFolder[kPathChars];

wchar_t* g_productName = nullptr;
wchar_t* g_programVersion = nullptr;
wchar_t* g_noticeLine = nullptr;
wchar_t* g_siteUrl = nullptr;
wchar_t* g_feedbackUrl = nullptr;
wchar_t* g_versionFileUrl = nullptr;
wchar_t* g_windowClassName = nullptr;
wchar_t* g_cacheVersionText = nullptr;

HGLOBAL g_unknownPicture = nullptr;
uint32_t g_unknownPictureSize = 0;
COLORREF g_highlightColors[2];
int g_uiScale = 1;
uint8_t g_newVersionFound = 0;
wchar_t g_publishedVersion[6] = {};
uint8_t g_batchFileOpActive = 0;
wchar_t g_startFolder[kPathChars];

HANDLE g_semaphores[kSemaphoreCount];
const wchar_t* const kSemaphoreNames[kSemaphoreCount] = {L"sema",        L"sema_raw", L"sema_dec", L"sema_mov",
                                                          L"sema_interp", L"sema_thm", L"sema_fc"};

wchar_t* g_statusTexts = nullptr;
wchar_t* g_statusTextsShown = nullptr;
wchar_t* g_overlayText = nullptr;
uint16_t* g_displayOrder = nullptr;
void** g_entryPointers = nullptr;
wchar_t* g_scratchPath = nullptr;
wchar_t* g_loadedFolderPath = nullptr;
wchar_t* g_targetFolder = nullptr;

namespace {
struct BufferSpec {
  void** slot;
  size_t bytes;
  bool zeroed;
};

// Sizes are those the rest of the program was written against.
const BufferSpec kBuffers[] = {
    {reinterpret_cast<void**>(&g_statusTexts), 11 * 2048, true},
    {reinterpret_cast<void**>(&g_statusTextsShown), 11 * 2048, true},
    {reinterpret_cast<void**>(&g_overlayText), 3072, false},
    {reinterpret_cast<void**>(&g_displayOrder), 131068, false},
    {reinterpret_cast<void**>(&g_entryPointers), kMaxEntries * sizeof(void*), false},
    {reinterpret_cast<void**>(&g_scratchPath), 1040, false},
    {reinterpret_cast<void**>(&g_loadedFolderPath), 520, true},
    {reinterpret_cast<void**>(&g_targetFolder), 520, false},
};

wchar_t** const kStringSlots[] = {&g_productName, &g_windowClassName, &g_programVersion, &g_cacheVersionText,
                                  &g_noticeLine,  &g_siteUrl,         &g_feedbackUrl,    &g_versionFileUrl};
const UINT kStringIds[] = {IDS_PRODUCT_NAME, IDS_WINDOW_CLASS, IDS_PROGRAM_VERSION, IDS_CACHE_VERSION,
                           IDS_NOTICE_LINE,  IDS_SITE_URL,     IDS_FEEDBACK_URL,    IDS_VERSION_FILE_URL};
}  // namespace

bool AllocGlobalBuffers() {
  bool all = true;
  for (const BufferSpec& b : kBuffers) {
    *b.slot = b.zeroed ? std::calloc(1, b.bytes) : std::malloc(b.bytes);
    all &= *b.slot != nullptr;
  }
  return all;
}

void FreeGlobalBuffers() {
  for (const BufferSpec& b : kBuffers) {
    std::free(*b.slot);
    *b.slot = nullptr;
  }
}

bool LoadAppStrings(HINSTANCE instance) {
  for (size_t i = 0; i < sizeof kStringIds / sizeof kStringIds[0]; ++i) {
    wchar_t* buffer = static_cast<wchar_t*>(std::calloc(100, sizeof(wchar_t)));
    if (!buffer) return false;
    LoadStringW(instance, kStringIds[i], buffer, 100);
    *kStringSlots[i] = buffer;
  }
  return true;
}

void FreeAppStrings() {
  for (wchar_t** slot : kStringSlots) {
    std::free(*slot);
    *slot = nullptr;
  }
}

uint8_t g_tempCaption = 0, g_gridShown = 0;
volatile int32_t g_shownRowMarker = 0;
HWND g_extraOwnWindows[2] = {};
uint8_t g_viewSwitchRequest = 0;
uint8_t g_listThreadAskedSwitch = 0;
int32_t g_lastViewMode = 1;
uint8_t g_leftHeldOnViewer = 0;
uint8_t g_thumbnailSplitRequest = 0;
int32_t g_reloadSelectionMode = 0;
wchar_t g_monitorProfilePath[kPathChars], g_printerProfilePath[kPathChars];
volatile uint8_t g_screenProfileChanged = 0;
