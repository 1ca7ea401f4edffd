// Which of the 44 toolbar commands are enabled for the state of the list and the open
// tool windows.
#pragma once
#include "browser/pure/toolbar_tables.h"
#include <cstdint>

constexpr int32_t kToolbarCommandCount = kToolbarCommands;
// Index of a command id in kToolbarCommandIds, -1 when it is not a toolbar command.
int32_t ToolbarCommandIndex(int32_t commandId);

struct CommandStateInput {
  bool indexPrintOpen;
  bool rawProgressOpen;
  bool listHasRows;
  bool searchOpen;            // the search dialog or its progress window
  bool splitInformation;      // a media split has been calculated
  bool hasCursorRow;
  bool listFullyLoaded;
  bool viewerShown;
  bool rawToggleRunning;
  bool pictureIsRaw;          // the picture the RAW toggle takes (cursor row or current pane)
  bool fileActionTarget;      // a file action (recycle, undo, lossless turn, wallpaper, mail) has a row
  bool pictureTarget;         // the other commands on pictures (turns, properties, clipboard, GPS) have one
  bool canCheck;              // some target entry is not checked
  bool canUncheck;            // some target entry is checked
  bool anyEntryChecked;
};

// Fills the wanted states (0 or 1).
void ComputeWantedCommandStates(const CommandStateInput& in, int32_t wanted[kToolbarCommandCount]);
