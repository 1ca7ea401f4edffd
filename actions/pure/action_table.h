// The action table's row format, the constant tables that give rows their meaning (kinds,
// keys, built-in commands) and the rule by which a pressed key fires rows.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t kActionRowLimit = 39;
constexpr int32_t kActionKeyCount = 40;
constexpr int32_t kCommandCount = 94;
constexpr int32_t kLastActionKind = 13;

#pragma pack(push, 1)
// One row of the action table, stored as is in the settings file.
struct ActionEntry {
  uint8_t enabled;       // 1 fires; any other value never does
  uint8_t sameNamedJpg;  // a RAW file's same-named JPG gets the action first
  uint8_t oneCall;       // kind 2: all files in one call
  uint8_t askAtRunTime;  // the folder is asked each time (path kind 1 only)
  int32_t targetKey;
  int32_t kind;
  int32_t commandIndex;
  char16_t path[260];
  char16_t comment[256];
  uint8_t ownRename;
  uint8_t padding[3];
  int32_t prefixType;
  int32_t nameType;
  char16_t prefixText[32];
  int32_t dateJoiner;
  int32_t prefixJoiner;
  int32_t sequenceStart;
  char16_t replaceOld[128];
  char16_t replaceNew[128];
};
#pragma pack(pop)
static_assert(sizeof(ActionEntry) == 1648, "ActionEntry is a settings-file record");
static_assert(offsetof(ActionEntry, targetKey) == 4, "layout");
static_assert(offsetof(ActionEntry, kind) == 8, "layout");
static_assert(offsetof(ActionEntry, commandIndex) == 12, "layout");
static_assert(offsetof(ActionEntry, path) == 16, "layout");
static_assert(offsetof(ActionEntry, comment) == 536, "layout");
static_assert(offsetof(ActionEntry, ownRename) == 1048, "layout");
static_assert(offsetof(ActionEntry, prefixType) == 1052, "layout");
static_assert(offsetof(ActionEntry, nameType) == 1056, "layout");
static_assert(offsetof(ActionEntry, prefixText) == 1060, "layout");
static_assert(offsetof(ActionEntry, dateJoiner) == 1124, "layout");
static_assert(offsetof(ActionEntry, prefixJoiner) == 1128, "layout");
static_assert(offsetof(ActionEntry, sequenceStart) == 1132, "layout");
static_assert(offsetof(ActionEntry, replaceOld) == 1136, "layout");
static_assert(offsetof(ActionEntry, replaceNew) == 1392, "layout");

struct CommandRow {
  const char16_t* name;
  int32_t code;        // > 0 a virtual key replayed once, < 0 a command carried out
  int32_t repeatKind;  // 0 while held, 1 once per press, 2 pressed and repeating
};
extern const CommandRow kCommandTable[kCommandCount];
extern const int32_t kCommandDisplayOrder[kCommandCount];

// Short names (history, list column) of kinds 0..14; "" outside.
const char16_t* ActionKindShortName(int32_t kind);
// 0 nothing, 1 a folder, 2 an application; -1 outside 0..13.
int32_t ActionPathKind(int32_t kind);
// Colour slot painted behind an entry whose current undo record has the kind; 20 none.
int32_t ActionKindColorSlot(int32_t kind);
const char16_t* GetCommandName(int32_t commandIndex);
int32_t GetCommandCode(int32_t commandIndex);
int32_t GetCommandRepeatKind(int32_t commandIndex);

// A row whose key, kind or command lies outside its table must never run.
bool IsActionRowSound(const ActionEntry& row);
// Terminates the texts and disables unsound rows; the count is clamped to 0..39. Returns the
// number of rows changed.
int32_t SanitizeActionTable(ActionEntry* rows, int32_t* count);
// Per key: 0 nothing to confirm, 1 bound (asked at first use); every row below the count counts.
void RebuildActionKeyStates(const ActionEntry* rows, int32_t count, int32_t* states);

// What the idle tick's walk over the rows asks of its surroundings.
enum class FireAnswer { kRun, kEndWalk, kRestartWalk };
class ActionFiringHost {
 public:
  virtual ~ActionFiringHost() = default;
  // repeatKind -1: just pressed; 0..2 as in the command table.
  virtual bool KeyFires(int32_t virtualKey, int32_t repeatKind) = 0;
  virtual bool BrowsingFocus() = 0;
  virtual bool CommandAllowedWithoutFocus(int32_t commandIndex) = 0;
  // The confirmation of a row about to run; kRestartWalk sets the pending key itself.
  virtual FireAnswer Confirm(int32_t row) = 0;
  // The run-time folder question; false ends the walk.
  virtual bool AskFolder(int32_t row) = 0;
  virtual int32_t Run(int32_t row) = 0;  // 2: a built-in command ran
  virtual void AfterRun() = 0;
};
// One idle tick's walk. pendingKey: a mouse-bound key (1..3) the list stored, 0 none; it is
// consumed by the first row that takes it and cleared at the end of the tick in any case.
void WalkActionRows(const ActionEntry* rows, int32_t count, int32_t* pendingKey, ActionFiringHost& host);
