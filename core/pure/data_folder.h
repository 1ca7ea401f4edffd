#pragma once
#include <cstddef>

// Builds "<base>\<leaf>\" from the data-folder setting: absolute when it names a drive ("X:") or a
// network share ("\\"), else below the program folder; ".." and "." segments folded.
// False (out empty) when the result does not fit into capacity units.
bool BuildDataFolderPath(const char16_t* programFolder, const char16_t* setting, const char16_t* leaf, char16_t* out,
                         size_t capacity);
