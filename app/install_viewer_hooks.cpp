#include "app/program_hooks.h"

#include "browser/tooltips.h"
#include "viewer/viewer_hooks.h"

void InstallViewerHooks() {
  g_viewerHooks.addControlTooltip = &AddControlTooltip;
}
