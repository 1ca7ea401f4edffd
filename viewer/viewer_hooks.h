// What the viewer needs of the subsystems above it: the panes' layout, tooltips, the slideshow.
// The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ViewerHooks {
};
extern ViewerHooks g_viewerHooks;
