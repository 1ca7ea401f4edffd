#include "metadata/metadata_hooks.h"

MetadataHooks g_metadataHooks;
