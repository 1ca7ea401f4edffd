#include "browser/pure/command_states.h"

#include <initializer_list>


int32_t ToolbarCommandIndex(int32_t commandId) {
  for (int32_t i = 0; i < kToolbarCommandCount; ++i)
    if (kToolbarCommandIds[i] == commandId) return i;
  return -1;
}

namespace {
const int32_t kAlwaysWithRows[] = {338, 340, 303, 332, 328, 302, 334, 336, 333, 254, 280, 281,
                                   282, 283, 284, 287, 288, 292, 294, 216, 217, 331, 309};
const int32_t kEmptyListEnabled[] = {328, 302, 334, 303, 309, 336, 333, 340, 338, 254,
                                     276, 280, 281, 282, 283, 284, 287, 288, 292, 294};

void Set(int32_t wanted[], int32_t id, bool on) {
  int32_t i = ToolbarCommandIndex(id);
  if (i >= 0) wanted[i] = on ? 1 : 0;
}
}  // namespace

void ComputeWantedCommandStates(const CommandStateInput& in, int32_t wanted[kToolbarCommandCount]) {
  if (in.indexPrintOpen || in.rawProgressOpen) {
    for (int32_t i = 0; i < kToolbarCommandCount; ++i) wanted[i] = 0;
    if (!in.rawProgressOpen) {
      Set(wanted, 336, true);
      Set(wanted, 333, true);
    }
    return;
  }
  if (!in.listHasRows) {
    for (int32_t i = 0; i < kToolbarCommandCount; ++i) wanted[i] = 0;
    for (int32_t id : kEmptyListEnabled) Set(wanted, id, true);
    return;
  }
  Set(wanted, 276, !in.searchOpen);
  for (int32_t id : kAlwaysWithRows) Set(wanted, id, true);
  Set(wanted, 307, in.splitInformation);
  // A button is enabled only when its command finds a row to act on.
  for (int32_t id : {240, 286, 285, 291, 295}) Set(wanted, id, in.hasCursorRow && in.fileActionTarget);
  for (int32_t id : {289, 290, 556}) Set(wanted, id, in.hasCursorRow && in.pictureTarget);
  for (int32_t id : {310, 326, 327}) Set(wanted, id, in.hasCursorRow && in.listFullyLoaded && in.pictureTarget);
  for (int32_t id : {304, 225, 226}) Set(wanted, id, in.viewerShown);
  Set(wanted, 337, in.hasCursorRow && !in.rawToggleRunning && in.pictureIsRaw);
  Set(wanted, 305, in.hasCursorRow && in.canCheck);
  Set(wanted, 308, in.hasCursorRow && in.canUncheck);
  Set(wanted, 306, in.anyEntryChecked);
  Set(wanted, 335, in.listFullyLoaded);
}
