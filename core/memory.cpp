#include "core/memory.h"

#include <cwchar>

#include "core/message_box.h"
#include "core/spare_memory.h"
#include "core/app_globals.h"

volatile uint32_t MemoryPressureLimit = kMemoryPressureStart;
volatile int32_t MemoryCheckedRow = -1;
static volatile LONG g_resourceShortageCount = 0;

HGLOBAL(WINAPI* g_globalAllocFn)(UINT, SIZE_T) = GlobalAlloc;
LPVOID(WINAPI* g_virtualAllocFn)(LPVOID, SIZE_T, DWORD, DWORD) = VirtualAlloc;
BOOL(WINAPI* g_memoryStatusFn)(LPMEMORYSTATUSEX) = GlobalMemoryStatusEx;

static void FormatMemoryLine(wchar_t* line, uint32_t bytes) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  swprintf(line, 260, L"Mem->%d(%d)\n", static_cast<int>(bytes), static_cast<int>(static_cast<uint32_t>(status.ullAvailPhys)));
}

// A failed allocation raises the limit the prefetch thread keeps free; reaching the cap is
// reported once per climb.
// Any thread may fail at once: the limit is raised in one step, and only the thread whose step
// reached the cap shows the message.
static void OnAllocationFailed(const wchar_t* line) {
  uint32_t old = MemoryPressureLimit, raised;
  do {
    if (old == kMemoryPressureCap) return;
    const uint32_t doubled = old * 2u;
    raised = (doubled > kMemoryPressureCap || doubled == 0) ? kMemoryPressureCap : doubled;
  } while (!__atomic_compare_exchange_n(&MemoryPressureLimit, &old, raised, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST));
  MemoryCheckedRow = -1;
  Sleep(1);
  if (raised == kMemoryPressureCap) ShowAppMessageBox(nullptr, line, L"メモリ不足です。", 0);
}

HGLOBAL AllocGlobal(UINT flags, uint32_t bytes) {
  wchar_t line[260];
  FormatMemoryLine(line, bytes);
  HGLOBAL h = g_globalAllocFn(flags, bytes);
  // Memory kept for reuse goes first: a failure is one the program could not help.
  if (!h && ReleaseSpareMemory()) h = g_globalAllocFn(flags, bytes);
  if (!h) OnAllocationFailed(line);
  return h;
}

HGLOBAL FreeGlobal(HGLOBAL handle) { return GlobalFree(handle); }
HGLOBAL AllocGlobal2(UINT flags, uint32_t bytes) { return AllocGlobal(flags, bytes); }
HGLOBAL FreeGlobal2(HGLOBAL handle) { return FreeGlobal(handle); }

void* AllocVirtual(int, uint32_t bytes) {
  wchar_t line[260];
  FormatMemoryLine(line, bytes);
  void* p = g_virtualAllocFn(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  if (!p && ReleaseSpareMemory()) p = g_virtualAllocFn(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  if (!p) OnAllocationFailed(line);
  return p;
}

void FreeVirtual(void* address) {
  if (address) VirtualFree(address, 0, MEM_RELEASE);
}

void ReportResourceShortage() {
  if (g_resourceShortageCount == 1)
    ShowAppMessageBox(nullptr,
                      L"リソースが不足している為、画像の表示が出来ません。\nフォルダ内の画像を減らす、又はサムネイルのサイズを小さく調整してみてください。",
                      g_productName, 0x10);
  InterlockedIncrement(&g_resourceShortageCount);
}

void ResetMemoryPressure() { MemoryPressureLimit = kMemoryPressureStart; }
