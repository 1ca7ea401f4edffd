#include "viewer/viewer_hooks.h"

ViewerHooks g_viewerHooks;
