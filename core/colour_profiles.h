// The profile paths of the colour-matching set-up: the set-up hands back profile names, which
// the device contexts take as paths in the system's colour folder.
#pragma once

// "<colour folder>\<name>" into a buffer of 260 characters. Empty for an empty name, an unknown
// colour folder or a path that does not fit: the device's own profile then serves.
void BuildProfilePath(const wchar_t* name, wchar_t* out);
