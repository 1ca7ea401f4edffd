#include "app/program_hooks.h"

#include "metadata/metadata_hooks.h"

void InstallMetadataHooks() {
}
