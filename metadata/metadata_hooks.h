// What the File Information window needs of the subsystems above metadata: the list, the menus.
// The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct MetadataHooks {
};
extern MetadataHooks g_metadataHooks;
