// What the actions need of the subsystems above them: the settings dialog. The program installs
// them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ActionsHooks {
  // The preferences dialog at a page: built-in commands and the hot-key question open it.
  void (*openSettingsDialog)(HWND owner, int page);
  // The register dialog takes the rename page's unsaved controls before it copies the rename settings.
  void (*commitRenameSettings)();
};
extern ActionsHooks g_actionsHooks;
