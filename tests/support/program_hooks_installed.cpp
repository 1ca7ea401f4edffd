// Every test process runs with the hooks the program installs at start-up, before its first test.
#include "app/program_hooks.h"

namespace {
const bool kHooksInstalled = (InstallProgramHooks(), true);
}  // namespace
