#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kMovieTypeFlag = 0x1000000;
constexpr int32_t kMovieExtensionMax = 128;
constexpr size_t kMovieExtensionChars = 8;   // 7 characters and the terminator
constexpr size_t kMovieListChars = 1024;     // the setting's text

struct MovieExtensionTable {
  char16_t entries[kMovieExtensionMax][kMovieExtensionChars];
  int32_t count;
};

// Splits the user's movie extension list (';' or '；', blanks of either width ignored).
// Empty entries and entries of 8 or more characters are skipped.
void ParseMovieExtensionList(const char16_t* list, MovieExtensionTable& table);
uint32_t MatchMovieExtension(const char16_t* name, const MovieExtensionTable& table);
// The type bit of a file name, 0 when it is not listed.
uint32_t ClassifyFileName(const char16_t* name, uint32_t enabledTypes, const MovieExtensionTable& table);
