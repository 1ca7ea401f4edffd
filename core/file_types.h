// Whether a file is listed, and how it is decoded, by its extension alone.
#pragma once
#include <cstdint>

#include "core/pure/file_types.h"

extern MovieExtensionTable g_movieExtensions;

// Rebuilds the movie table from the settings' list; at start-up and after the list is edited.
void ParseUserExtensions();
// The type bit (0x1000000 for a movie), 0 when the file is not to be listed.
uint32_t GetFileTypeFlag(const wchar_t* name);
uint32_t MatchUserExtension(const wchar_t* name);
