// Large blocks with the memory-pressure rule the prefetch thread follows.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr uint32_t kMemoryPressureStart = 0x4000000u;  // 64 MiB
constexpr uint32_t kMemoryPressureCap = 0x40000000u;   // 1 GiB

extern volatile uint32_t MemoryPressureLimit;
extern volatile int32_t MemoryCheckedRow;

HGLOBAL AllocGlobal(UINT flags, uint32_t bytes);
HGLOBAL FreeGlobal(HGLOBAL handle);
HGLOBAL AllocGlobal2(UINT flags, uint32_t bytes);
HGLOBAL FreeGlobal2(HGLOBAL handle);
void* AllocVirtual(int ignored, uint32_t bytes);
void FreeVirtual(void* address);
void ReportResourceShortage();
void ResetMemoryPressure();

// For tests: the allocators and the memory query used underneath (the real ones unless replaced).
extern HGLOBAL(WINAPI* g_globalAllocFn)(UINT, SIZE_T);
extern LPVOID(WINAPI* g_virtualAllocFn)(LPVOID, SIZE_T, DWORD, DWORD);
extern BOOL(WINAPI* g_memoryStatusFn)(LPMEMORYSTATUSEX);
