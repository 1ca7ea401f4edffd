// What the browsing surface needs of the subsystems above it: the actions, the settings dialog,
// index printing. The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct BrowserHooks {
  // The idle tick's walk over the action rows for pressed hot keys.
  void (*runHotKeyScan)(bool currentTarget);
  // One action on one entry and its history line (with the undo record when it succeeded).
  int32_t (*executeEntryAction)(int32_t entry, int32_t kind, const wchar_t* path, int32_t row, int32_t jpgFlag);
  int32_t (*addActionHistoryEntry)(int32_t entry, int32_t kind, int32_t source, int32_t result);
  // False when the entry's current undo record moved the file away or deleted it.
  bool (*isEntryFileInPlace)(int32_t entry);
  // The list's wallpaper and mail commands.
  void (*setWallpaperFromSelection)(HWND pane);
  void (*sendSelectionByMail)(HWND owner);
  // A folder move must not pull files from under a running RAW development batch.
  void (*waitRawDevelopWorker)();
  // The folder-wide batches of the main window's commands: each asks, runs and reports itself.
  void (*calculateMediaSplit)();
  void (*distributeToMediaFolders)();
  void (*mergeSubfolders)();
  void (*batchRenameFolder)();
  void (*batchReplaceRenameFolder)();
  // The preferences dialog at a page (-1 the page shown last), and its colours pushed into the
  // open windows.
  void (*openSettingsDialog)(HWND owner, int page);
  void (*applyColorSettings)();
  // The modeless index print dialog's procedure.
  DLGPROC indexPrintDialogProc;
};
extern BrowserHooks g_browserHooks;
