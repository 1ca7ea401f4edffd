// Texts of the hot-key confirmation: key and action-kind names, the description line of an
// action, and the whole question. UTF-16 in and out.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <cstdint>
#include <string>

#include "core/pure/catalogue_rules.h"

constexpr int32_t kTargetKeyCount = 40;

// Virtual key of a TargetKey (0 for none and the three mouse buttons).
int32_t TargetKeyVirtualKey(int32_t targetKey);
std::u16string TargetKeyName(int32_t targetKey);
// The long name of an action kind, as the questions name it ("" outside the kinds); the short
// names of the history and the list are kActionKindNames.
const char16_t* ActionKindLongName(int32_t kind);

// Replaces each "%s" of the pattern by the next argument, in order.
std::u16string FillPattern(const std::u16string& pattern, std::initializer_list<std::u16string> args);

// detail: the command name (kind 1), the path (2, 3, 4, 7-9) or the formatted rename
// settings (10, 11).
std::u16string ActionDescriptionLine(int32_t kind, bool askAtRunTime, const std::u16string& detail);

// state: the key's KeyActionState (1 pressed for the first time, 2 changed since).
std::u16string ActionQuestionText(int32_t state, int32_t targetKey, int32_t kind, const std::u16string& comment,
                                  const std::u16string& description, bool sameNamedJpg, bool skipAfterRunning);

extern const char16_t kEmptyReplaceTextMessage[];
