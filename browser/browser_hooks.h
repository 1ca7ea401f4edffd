// What the browsing surface needs of the subsystems above it: the actions, the settings dialog,
// index printing. The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct BrowserHooks {
};
extern BrowserHooks g_browserHooks;
