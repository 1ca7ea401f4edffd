// The name index of the camera model table: built once, searched by maker and model name.
#pragma once
#include <cstdint>

#include "core/pure/camera_models.h"

// Once at start-up, before any list is loaded.
void BuildCameraModelIndex();

// Model code of a model name (case and spaces ignored) among the rows of the maker's
// initial; 181 when unknown or when the name has 32 characters or more.
int32_t LookupCameraModel(const char16_t* model, const char16_t* maker);
