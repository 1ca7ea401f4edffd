#include "core/pipeline_hooks.h"

PipelineHooks g_pipelineHooks;
