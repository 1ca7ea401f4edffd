#include "core/file_types.h"

#include "core/path_utils.h"
#include "core/settings.h"

MovieExtensionTable g_movieExtensions;

void ParseUserExtensions() { ParseMovieExtensionList(g_settings.movieExtensions, g_movieExtensions); }

uint32_t GetFileTypeFlag(const wchar_t* name) {
  return ClassifyFileName(U16(name), g_settings.enabledImageTypes, g_movieExtensions);
}

uint32_t MatchUserExtension(const wchar_t* name) { return MatchMovieExtension(U16(name), g_movieExtensions); }
