#include "app/program_hooks.h"

void InstallProgramHooks() {
  InstallPipelineHooks();
  InstallListHooks();
  InstallMetadataHooks();
  InstallViewerHooks();
  InstallBrowserHooks();
  InstallActionsHooks();
}
