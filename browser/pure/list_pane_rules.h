// Rules of the file-list pane that need no window: column alignment, row colours,
// the rename split, the hover text, the splitter grip and drag, and small command arithmetic.
#pragma once
#include <cstddef>
#include <cstdint>

#include "metadata/pure/list_column_captions.h"

constexpr int kColorSlotCount = 20;

bool ListColumnRightAligned(int column);

// Colour-table index of a detail-style cell. actionIndex -1 means no action state; an index
// outside the colour table counts as none.
int ListCellColorIndex(int column, int row, int32_t mediaNumber, int actionIndex);
// Label colour index of a thumbnail-style row.
int ThumbnailLabelColorIndex(int actionIndex);

// Splits a file name at its last '.': base gets the part before it, extension the '.' and the
// rest (empty without '.'). Both buffers hold capacity units.
void SplitRenameName(const char16_t* name, char16_t* base, char16_t* extension, size_t capacity);
// Joins folder (ending in '\') and name into out when the result stays below 260 units.
bool JoinRenamePath(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity);

// The hover text of a row from its information columns (index 0 the file name, 2..23 the
// columns); trailing newlines are cut. Always terminated within capacity.
void BuildHoverText(const char16_t* const fields[kListColumnCount], char16_t* out, size_t capacity);

// Splitter of the thumbnail split view; kind 0/1 horizontal at splitHeight, 2 vertical at
// width - splitWidth, 3 vertical at splitWidth. The grip is 4 pixels.
bool IsOnSplitterGrip(int kind, int width, int height, int splitHeight, int splitWidth, int x, int y);
// Applies a drag from (lastX, lastY) to (x, y): true and the new value when the move stays at
// least 64 pixels from each edge; false, value clamped, when it had to stop there.
bool DragSplitter(int kind, int width, int height, int lastX, int lastY, int x, int y, int32_t* splitHeight,
                  int32_t* splitWidth);

// Quarter-turn user rotation after a step of delta (0 resets when reset is set).
int StepUserRotation(int rotation, int delta, bool reset);
// Next split layout 0..4.
int NextSplitLayout(int layout);

