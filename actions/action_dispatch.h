// Carrying out one fired action row: which files it applies to, and the built-in commands.
#pragma once
#include <cstdint>

// 0 refused or stopped on a failure, 1 done, 2 a built-in command ran.
int32_t RunAction(int32_t row);
void RunBuiltInOperation(int32_t code);
// Hands every selected file (and the same-named JPGs) to the row's application in one call.
void TransferToApplication(int32_t row);
// The list row of the same-named JPG of a RAW file in the same folder, -1 none.
int32_t FindSameNamedJpeg(int32_t row, int32_t listRow);
