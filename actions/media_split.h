// Media split (the listed files divided over numbered folders of a medium's size) and the
// sub-folder merge (the pictures of the sub-folders moved up into the shown folder).
#pragma once
#include <cstddef>
#include <cstdint>

// Media of the last split computed (1 at start); the F6 command stores it, the move reads it.
extern int32_t MediaCount;
// Sub-folders found by the last walk.
extern int32_t SubfolderListCount;

// Numbers every listed entry with its medium and shows it in column 23; the out-values and the
// result (files in the last medium) describe the first pass.
int32_t ComputeMediaSplit(int32_t* mediaCount, int64_t* lastMediumBytes);
// Creates the numbered folders (asking for each missing one) and moves the numbered entries.
void MoveEntriesToMediaFolders();
// Appends the sub-folder paths to the text (capacity in characters, the text already holds its
// heading); true when the top level has sub-folders.
bool WalkSubfolders(const wchar_t* folder, int32_t topLevel, wchar_t* text, size_t capacity);
// Moves the image files below the folder into the target; false when a move failed.
bool MergeSubfolderImages(const wchar_t* target, const wchar_t* folder, int32_t topLevel);
