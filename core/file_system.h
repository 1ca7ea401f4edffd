#pragma once
#include <cstdint>
uint64_t GetFreeDiskSpace(const wchar_t* path);
