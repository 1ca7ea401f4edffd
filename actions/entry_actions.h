// One action on one entry, and the undo of its last action: the one place where an action
// touches a file.
#pragma once
#include <windows.h>
#include <cstdint>

#include "actions/pure/undo_rules.h"

// kind: ActionKind; path: the row's path field (folder or application); row: the action row or
// -1; jpgFlag: 1 for the same-named JPG of the file acted on. Returns an ActionResult.
int32_t ExecuteEntryAction(int32_t entry, int32_t kind, const wchar_t* path, int32_t row, int32_t jpgFlag);
// Notes the size and time of the file an action on the entry just made (a copy, a preview save,
// a development) for its undo record.
void NoteActionProduct(int32_t entry, const wchar_t* product);
// That stamp, handed to the undo record once; false when the entry made none since.
bool TakeProductStamp(int32_t entry, ProductStamp* stamp);
// A folder without a drive letter becomes the image's folder followed by the text; in place
// (260 characters).
void ResolveAgainstImageFolder(const wchar_t* imagePath, wchar_t* folder);
// Writes the orientation value's two bytes into the file in place after checking that the two
// bytes at the offset hold the expected value; nothing is written otherwise. keepTime: the
// write time stays.
bool WriteOrientationValue(const wchar_t* path, int32_t offset, int32_t byteOrder, int32_t expected, int32_t value,
                           bool keepTime, FILETIME* newTime);
