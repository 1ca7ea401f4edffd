// The attachment list of one mail: full paths one after the other, each closed by '?', in a
// fixed buffer that never overruns.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kMailListUnits = 532480 / 2;

// Appends path and '?'; false, the list untouched, when they would not fit with the terminator.
bool AppendMailAttachment(char16_t* list, size_t capacityUnits, const char16_t* path);
std::vector<std::u16string> SplitMailAttachments(const char16_t* list);

// The copy name of a picture for this mail: stem, or stem_2, stem_3... when an earlier picture
// of the same mail already took it (compared without case).
std::u16string UniqueCopyStem(const std::u16string& stem, std::vector<std::u16string>* taken);
