#include "core/shut_down.h"

volatile LONG g_shuttingDown = 0;
volatile LONG g_abandonedThreads = 0;
static volatile DWORD s_shutDownStart = 0;

void BeginShutDown() {
  if (g_shuttingDown) return;
  s_shutDownStart = GetTickCount();
  g_shuttingDown = 1;
}

DWORD ShutDownWaitLeft(DWORD start) {
  if (!g_shuttingDown) return INFINITE;
  const DWORD now = GetTickCount();
  // Tick differences stay right across the counter's wrap.
  const LONG shared = static_cast<LONG>(kShutDownWaitMs - (now - s_shutDownStart));
  const LONG own = static_cast<LONG>(kShutDownLastWaitMs - (now - start));
  const LONG left = shared > own ? shared : own;
  return left > 0 ? static_cast<DWORD>(left) : 0;
}

bool GiveUpWaitingFor(DWORD start) {
  if (ShutDownWaitLeft(start) != 0) return false;
  InterlockedIncrement(&g_abandonedThreads);
  return true;
}
