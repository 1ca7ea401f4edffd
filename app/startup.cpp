#include "app/startup.h"

#include "app/program_hooks.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <clocale>
#include <cstring>
#include <cwchar>

#include "browser/about_dialogs.h"
#include "browser/collections.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/navigation_pane.h"
#include "browser/tooltips.h"
#include "browser/version_check.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/shell_tree.h"
#include "viewer/histogram.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/os_class.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "actions/action_table.h"
#include "core/text_replace.h"
#include "metadata/pure/camera_models.h"
#include "resources/resource.h"
#include "viewer/pure/view_focus_points.h"

static HANDLE g_instanceMutex = nullptr;
static ULONG_PTR g_gdiplusToken = 0;
static const wchar_t kExeName[] = L"Brannomere.exe";

uint8_t AcquireSingleInstanceMutex() {
  HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, L"Brannomere");
  if (existing) {
    CloseHandle(existing);
    return 0;
  }
  HANDLE m = CreateMutexW(nullptr, FALSE, L"Brannomere");
  if (!m) return 0;
  DWORD w = WaitForSingleObject(m, 0);
  if (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED) {
    g_instanceMutex = m;
    return 1;
  }
  ReleaseMutex(m);
  CloseHandle(m);
  return 0;
}

void ReleaseSingleInstanceMutex() {
  if (!g_instanceMutex) return;
  ReleaseMutex(g_instanceMutex);
  CloseHandle(g_instanceMutex);
  g_instanceMutex = nullptr;
}

uint8_t LocateProgramFolder() {
  HMODULE self = GetModuleHandleW(kExeName);
  if (!self) return 0;
  DWORD n = GetModuleFileNameW(self, g_programFolder, kPathChars);
  size_t cut = wcslen(kExeName) + 1;
  if (n == 0 || n >= kPathChars || n < cut) return 0;
  g_programFolder[n - cut] = 0;
  return GetFreeDiskSpace(g_programFolder) != 0 ? 1 : 0;
}

void NormaliseAndMigrateSettings() {
  NormaliseThumbnailWidths(g_settings);
  g_uiScale = g_settings.largeIcons == 1 ? 2 : 1;
  LoadCollections();
  NormaliseAfterCollections(g_settings);
  FillMissingSentinelSections(g_settings);
}

void DeriveHighlightColorsFromSystem() {
  uint32_t dark, light;
  DeriveHighlightColors(GetSysColor(COLOR_HIGHLIGHT), &dark, &light);
  g_highlightColors[0] = dark;
  g_highlightColors[1] = light;
}

static void CopyUnknownPicture() {
  HRSRC res = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDR_UNKNOWN_PICTURE), L"JPG");
  DWORD size = res ? SizeofResource(g_hInstance, res) : 0;
  HGLOBAL loaded = res ? LoadResource(g_hInstance, res) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  g_unknownPictureSize = 0;
  if (!bytes || size == 0) return;
  g_unknownPicture = AllocGlobal2(GMEM_FIXED, size);
  if (!g_unknownPicture) return;
  std::memcpy(reinterpret_cast<void*>(g_unknownPicture), bytes, size);
  g_unknownPictureSize = size;
}

void OpenCommandLineFolder(const wchar_t* commandLine) {
  // The program opens this folder itself: the tree's notifications count even while it is hidden.
  g_treeDrivenByCode = 1;
  wchar_t buffer[kPathChars];
  wcsncpy(buffer, commandLine ? commandLine : L"", kPathChars - 1);
  buffer[kPathChars - 1] = 0;
  ReplaceAllInPath(buffer, L"\"", L"");
  wchar_t display[kPathChars] = {};
  if (BuildShellDisplayPath(buffer, display) && display[0]) {
    wcscpy(g_startFolder, display);
    HWND navigation = g_windowSlots[kSlotNavigationPane];
    if (navigation) SendMessageW(navigation, WM_COMMAND, 112, 0);
  }
  g_treeDrivenByCode = 0;
}

int RunMessageLoop(HACCEL accelerators) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // F10 would otherwise activate the menu: drop it (Alt+F10 arrives the same way).
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10) continue;
    if (accelerators && TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

static void CloseSemaphores() {
  for (HANDLE& h : g_semaphores) {
    if (h) CloseHandle(h);
    h = nullptr;
  }
}

// Shut-down from step 23: strings, semaphores, buffers, mutex.
static void ReleaseCore() {
  FreeAppStrings();
  CloseSemaphores();
  FreeGlobalBuffers();
  if (g_unknownPicture) {
    GlobalFree(g_unknownPicture);
    g_unknownPicture = nullptr;
  }
  ReleaseSingleInstanceMutex();
}

// Shut-down from step 22: menus, tooltip window and GDI+, then the core.
static void ReleaseUi() {
  DestroyMenus();
  DestroyTooltipWindow();
  if (g_gdiplusToken) Gdiplus::GdiplusShutdown(g_gdiplusToken);
  g_gdiplusToken = 0;
  ReleaseCore();
}

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
  if (!AcquireSingleInstanceMutex()) return 0;

  g_hInstance = instance;
  InstallProgramHooks();
  for (int i = 0; i < kSemaphoreCount; ++i) g_semaphores[i] = CreateSemaphoreW(nullptr, 1, 1, kSemaphoreNames[i]);

  setlocale(LC_ALL, "");
  INITCOMMONCONTROLSEX icc{sizeof icc, 0x16FF};
  InitCommonControlsEx(&icc);

  g_osClass = GetOsClass();
  ResetFolderWatchEvent();

  if (!LocateProgramFolder()) {
    ShowAppMessageBox(nullptr, L"本ソフトウェアを実行するには書き込み可能なドライブに置いてください。", nullptr, MB_ICONERROR);
    ReleaseCore();
    return 0;
  }
  AllocGlobalBuffers();
  ResetImageEntryArrays();
  ResetHistogramCache();

  if (FAILED(OleInitialize(nullptr))) {
    MessageBoxW(nullptr, L"OLEの初期化に失敗しました。", nullptr, MB_ICONERROR);
    ReleaseCore();
    return 0;
  }
  LoadAppStrings(instance);

  Gdiplus::GdiplusStartupInput gdiplusInput;
  Gdiplus::GdiplusStartup(&g_gdiplusToken, &gdiplusInput, nullptr);

  BuildMenuBar(instance);
  CreateTooltipWindow(instance);
  ResetKeyStates();
  BuildCameraModelIndex();
  BuildViewFocusPointTables();

  if (LoadSettingsFile()) {
    if (g_settings.notifyNewVersion == 1) g_newVersionFound = CheckForNewVersion();
  } else {
    SetDefaultSettings();
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TERMS_OF_USE), nullptr, TermsOfUseDlgProc, 0) == 0) {
      ReleaseUi();
      return 0;
    }
  }

  NormaliseAndMigrateSettings();
  // The menus were built before the settings chose the icon size.
  LoadMenuIcons(instance);
  ParseUserExtensions();
  RebuildActionKeyTable();
  CopyUnknownPicture();
  DeriveHighlightColorsFromSystem();

  RegisterMainWindowClass(instance);
  if (!CreateMainWindow(instance, showCommand)) return 0;
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  OpenCommandLineFolder(commandLine);

  int exitCode = RunMessageLoop(accelerators);

  SaveCollections();
  // A thread left running at shut-down may still be inside what ReleaseUi frees (GDI+, the
  // buffers) or inside a media library the exit would unload under it. Everything is written by
  // now: the process ends here.
  if (g_abandonedThreads > 0) TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
  ReleaseUi();
  return exitCode;
}
