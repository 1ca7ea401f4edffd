#include "app/program_hooks.h"

#include "viewer/viewer_hooks.h"

void InstallViewerHooks() {
}
