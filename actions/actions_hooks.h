// What the actions need of the subsystems above them: the settings dialog. The program installs
// them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ActionsHooks {
};
extern ActionsHooks g_actionsHooks;
