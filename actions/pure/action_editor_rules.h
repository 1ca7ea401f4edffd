// What the action editor shows and checks for each kind, and the most-recent-first lists of
// the rename page's typed texts. Window-free so it is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 0 the kind needs nothing, 1 a path, 2 a built-in command; -1 outside 0..12.
int32_t ActionSettingKind(int32_t kind);
// Kinds 3..12 may switch their row colour on or off.
bool ActionKindHasColourSwitch(int32_t kind);
// The label of the path or command field; "" outside 0..12.
const char16_t* ActionPathLabel(int32_t kind);
// "what pressing the key does", with the field text put where the kind names its target.
std::u16string ActionWhatText(int32_t kind, const std::u16string& field);
// Help text 0 (general) or kind + 1; the general text outside 0..13.
const char16_t* ActionDescription(int32_t index);
// The list's UNDO column: "×", "△" or "◎".
const char16_t* ActionUndoMark(int32_t kind);
// Column text of kinds without a target (0, 5, 6, 12); nullptr for the others.
const char16_t* ActionFixedTargetText(int32_t kind);
// A row the editor writes must name a key, a kind and a command that exist.
bool IsEditedActionRowSound(int32_t key, int32_t kind, int32_t command);

// The list page's column layout as read from a settings file: an order that is not a
// permutation of 0..7, or widths that are negative, too large or all zero, take the defaults.
void NormaliseActionListColumns(int32_t* widths, int32_t* order);

// A typed text goes to the front of a history of `entries` slots of `entryChars` units: when it
// differs from entry 0, the list becomes the text followed by the items shown before (at most
// entries - 1), each item equal to the text blanked. Returns true when the history changed.
bool PushRenameHistory(char16_t* history, size_t entries, size_t entryChars, const std::u16string& text,
                       const std::vector<std::u16string>& shown);
