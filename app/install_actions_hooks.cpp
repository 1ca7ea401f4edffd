#include "app/program_hooks.h"

#include "actions/actions_hooks.h"
#include "settings_dialog/action_pages.h"
#include "settings_dialog/settings_dialog.h"

void InstallActionsHooks() {
  g_actionsHooks.openSettingsDialog = &OpenSettingsDialog;
  g_actionsHooks.commitRenameSettings = &CommitRenameSettings;
}
