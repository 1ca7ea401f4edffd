// How a typed action target becomes the row's path.
#pragma once
#include <cstdint>

// The phrase that asks for the target of a kind ("" for kinds without one).
const char16_t* ActionPathQuestionPhrase(int32_t kind);

enum class ActionPathResult { kOk, kLeadingBackslash, kTooLong };
// Folders end with '\': one is appended unless the text already ends with one or the kind is
// the application kind 2. A path starting with '\' is refused, and so is one that would no
// longer fit out (capacity units with the terminator) instead of being cut.
ActionPathResult FinishActionPath(const char16_t* typed, int32_t kind, char16_t* out, int capacity);

// Kinds whose target is a folder (3, 4, 7, 8, 9), and what is said when it is empty or invalid.
bool IsActionFolderKind(int32_t kind);
const char16_t* ActionFolderEmptyText(int32_t kind);
const char16_t* ActionFolderInvalidText(int32_t kind);
