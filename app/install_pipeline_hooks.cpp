#include "app/program_hooks.h"

#include "core/pipeline_hooks.h"

void InstallPipelineHooks() {
}
