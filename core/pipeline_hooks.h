// What the thumbnail list thread and the image pipeline need of the subsystems above core: the
// metadata reader, the viewer and the file list. The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct PipelineHooks {
};
extern PipelineHooks g_pipelineHooks;
