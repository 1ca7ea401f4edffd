// Window-free rules of the file-list commands, the drag feedback and the hover popups.
#pragma once
#include <cstddef>
#include <cstdint>

// The text of the Delete key's question for the "ask again after a cancel" setting.
const char16_t* DeleteQuestionText(bool askAgainAfterCancel);

// Whether releasing over a folder moves rather than copies. Roots are GetDriveRoot's results;
// an empty root (a UNC path) is never the same drive as anything.
bool FolderDropMoves(bool moveOnSameDrive, bool sameAsShown, const char16_t* targetRoot, const char16_t* shownRoot,
                     bool ctrlHeld);

// Width of the dragged-items popup from the list's first column.
int DragListWidth(int columnWidth);

// Placement of the preview popup: its left edge and bottom edge for the cursor.
void PreviewPopupCorner(int cursorX, int cursorY, int desktopWidth, int* left, int* bottom);
// Fade step: the new alpha, clamped to 0..limit.
int NextPopupAlpha(int alpha, int limit);

// Red, green and blue counts of a 24-bit picture (rows of blue, green, red bytes, `stride`
// bytes apart), each scaled to count x (4096 / pixels) and truncated.
void CountPopupHistogram(const uint8_t* pixels, int width, int height, int stride, int32_t bins[3][256]);
// The box of a picture fitted inside a square of `side` keeping its proportions (at least 1).
void FitInsideSquare(int width, int height, int side, int* outWidth, int* outHeight);
