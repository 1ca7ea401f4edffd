// The goexif package's pictures the tests read: whole camera pictures in its top folder, in
// samples mostly files that keep only their Exif header and thumbnail.
#pragma once
#include <string>

#include "support/win_test_support.h"

namespace testsupport {

extern const wchar_t kExifFolder[];
extern const wchar_t kExifSamples[];
// Three shots of the samples folder whose names carry the time they were taken.
extern const wchar_t* const kDatedSamples[3];

// The first `count` dated shots copied into the folder as a.jpg, b.jpg and c.jpg (names that sort
// as the shots do). False, with the picture reported, when one could not be copied.
bool CopyDatedSamples(const ScratchDir& photos, int count = 3);

}  // namespace testsupport
