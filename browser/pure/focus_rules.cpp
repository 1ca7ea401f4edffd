#include "browser/pure/focus_rules.h"

// One byte per command row, ten rows a line.
const uint8_t kCommandFocusTable[kCommandFocusRows] = {
    0, 0, 1, 1, 0, 0, 1, 1, 1, 1,  //
    0, 0, 0, 0, 1, 1, 0, 1, 0, 0,  //
    0, 1, 1, 0, 1, 1, 0, 0, 0, 0,  //
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
    0, 0, 1, 1, 1, 1, 0, 0, 0, 0,  //
    0, 0, 0, 0, 0, 1, 1, 1, 1, 1,  // 55..70: settings pages
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  //
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 71..74 help, keys, version, exit; 75..79 splits
    1, 0, 0, 1, 1, 0, 1, 1, 1, 1,  // 87..92: movie commands
    1, 1, 1, 1,
};

uint8_t IsCommandAllowedWithoutFocus(int32_t kind, int32_t commandIndex) {
  if (kind != 1 || commandIndex < 0 || commandIndex >= kCommandFocusRows) return 0;
  return kCommandFocusTable[commandIndex];
}

int32_t ClampRememberedPane(int32_t remembered, int32_t paneCount) {
  if (remembered >= paneCount) remembered = paneCount - 1;
  if (remembered < 0) remembered = 0;
  return remembered;
}
