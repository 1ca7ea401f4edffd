#include "app/program_hooks.h"

#include "core/list_hooks.h"

void InstallListHooks() {
}
