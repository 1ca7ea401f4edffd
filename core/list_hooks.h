// What the catalogue, the folder watcher and the list helpers need of the subsystems above core:
// the viewer threads, the panes, the list rows, the undo records. The program installs them at
// start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ListHooks {
};
extern ListHooks g_listHooks;
