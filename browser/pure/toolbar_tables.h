// The toolbar command rows, their tooltip texts, the rebar band kinds and the rules that turn
// the saved band layout and toolbox list into what is created.
#pragma once
#include <cstdint>
#include "core/pure/image_entry.h"
#include "core/pure/settings_records.h"

constexpr int kToolbarCommands = 44;
constexpr int kToolbarRows = kToolbarCommands + 1;  // row 0 is the separator
constexpr int kToolboxSlots = 64;
constexpr int kBandCount = 7;

struct ToolbarCommandRow {
  int32_t image;
  int32_t id;
  uint8_t checkStyle;  // 1: a check button
};
extern const ToolbarCommandRow kToolbarCommandTable[kToolbarRows];
// The ids of rows 1..44, in row order: they also key the tooltip texts.
extern const int32_t kToolbarCommandIds[kToolbarCommands];

struct TooltipTextPair {
  const char16_t* normal;
  const char16_t* toggled;
};
extern const TooltipTextPair kCommandTooltipTexts[kToolbarCommands];
// Index of the command among the first count ids, -1 when absent.
int FindCommandIndex(int32_t id, const int32_t* ids, int count);

// Toolbox rows in list order: a count above 64 is cut, rows outside 0..44 are skipped.
int ToolboxRows(const int32_t* slots, int32_t count, int32_t out[kToolboxSlots]);

struct BandKindInfo {
  int32_t minWidth;
  int32_t idealWidth;
};
extern const BandKindInfo kBandKinds[kBandCount];
// Band heights by kind for a UI scale and a Windows version class (9: Vista and later).
int32_t BandHeight(int kind, int uiScale, int osClass);

struct BandPlacement {
  int32_t kind;
  bool newRow;
  int32_t width;
};
// The saved records in order; kinds outside 0..6 and kinds already placed create no band.
int PlanBands(const BandLayoutRecord records[kBandCount], BandPlacement out[kBandCount]);

// The image-level text of the status bar.
extern const char16_t kNowProcessingText[];
const char16_t* ImageLevelText(const ImageLevelInputs& in);
