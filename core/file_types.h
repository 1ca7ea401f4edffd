#pragma once
#include <cstdint>
void ParseUserExtensions();
uint32_t GetFileTypeFlag(const wchar_t* name);
