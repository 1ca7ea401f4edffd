#include "app/program_hooks.h"

#include "browser/browser_hooks.h"

void InstallBrowserHooks() {
}
