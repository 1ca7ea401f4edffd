#include "app/program_hooks.h"

#include "browser/focus_queries.h"
#include "browser/menus.h"
#include "metadata/metadata_hooks.h"

void InstallMetadataHooks() {
  g_metadataHooks.isListFocused = &IsListFocused;
  g_metadataHooks.measureOwnerMenuItem = &MeasureOwnerMenuItem;
  g_metadataHooks.drawOwnerMenuItem = &DrawOwnerMenuItem;
  g_metadataHooks.infoTabPopup = [](int index) {
    PrepareInfoTabPopup();
    return g_menus[index];
  };
}
