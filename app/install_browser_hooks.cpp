#include "app/program_hooks.h"

#include "actions/action_history.h"
#include "actions/entry_actions.h"
#include "actions/hot_key_scan.h"
#include "actions/mail_send.h"
#include "actions/picture_export.h"
#include "actions/raw_batch.h"
#include "app/folder_batch_commands.h"
#include "browser/browser_hooks.h"
#include "printing/index_print_dialog.h"
#include "settings_dialog/color_settings.h"
#include "settings_dialog/settings_dialog.h"

void InstallBrowserHooks() {
  g_browserHooks.runHotKeyScan = &RunHotKeyScan;
  g_browserHooks.executeEntryAction = &ExecuteEntryAction;
  g_browserHooks.addActionHistoryEntry = &AddActionHistoryEntry;
  g_browserHooks.isEntryFileInPlace = &IsEntryFileInPlace;
  g_browserHooks.setWallpaperFromSelection = &SetWallpaperFromSelection;
  g_browserHooks.sendSelectionByMail = &SendSelectionByMail;
  g_browserHooks.waitRawDevelopWorker = &WaitRawDevelopWorker;
  g_browserHooks.calculateMediaSplit = &CalculateMediaSplit;
  g_browserHooks.distributeToMediaFolders = &DistributeToMediaFolders;
  g_browserHooks.mergeSubfolders = &MergeSubfolders;
  g_browserHooks.batchRenameFolder = &BatchRenameFolder;
  g_browserHooks.batchReplaceRenameFolder = &BatchReplaceRenameFolder;
  g_browserHooks.openSettingsDialog = &OpenSettingsDialog;
  g_browserHooks.applyColorSettings = &ApplyColorSettings;
  g_browserHooks.indexPrintDialogProc = &IndexPrintDialogProc;
}
