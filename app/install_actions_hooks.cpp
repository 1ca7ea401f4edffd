#include "app/program_hooks.h"

#include "actions/actions_hooks.h"

void InstallActionsHooks() {
}
