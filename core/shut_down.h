// Waits that end at shut-down. Once the main window starts closing, no wait for a worker thread
// or a semaphore may hold the process up: a thread that has not stopped within kShutDownWaitMs is
// left behind with its handles (the process exit takes them), and the shut-down goes on.
#pragma once
#include <windows.h>

#include "core/message_box.h"

// The whole shut-down's share, and the least any one wait still gets once it is spent.
constexpr DWORD kShutDownWaitMs = 4000;
constexpr DWORD kShutDownLastWaitMs = 300;

// Set by BeginShutDown when the main window starts closing; never cleared.
extern volatile LONG g_shuttingDown;
// Threads given up on: workers that did not stop at shut-down, DirectShow calls that never came
// back. While there are any, what they may still use is not freed, and the process ends at once
// after its files are written.
extern volatile LONG g_abandonedThreads;

void BeginShutDown();

// The milliseconds a wait that began at `start` (GetTickCount) may still take: INFINITE before
// shut-down, then what is left of the shut-down's share or of the wait's own least (0: over).
DWORD ShutDownWaitLeft(DWORD start);
// True, with the thread counted as abandoned, once a wait for it that began at `start` is over.
bool GiveUpWaitingFor(DWORD start);

// Asks a running worker to stop: 0 becomes 1 in one step, so that a worker that has just ended
// keeps its 3 (a 1 stored over it would leave every later wait for the 3 waiting for good).
template <class Word>
void RequestWorkerStop(volatile Word* state) {
  static_assert(sizeof(Word) == sizeof(LONG), "a state word");
  InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(state), 1, 0);
}

// Pumps this thread's messages until the worker's state word reaches 3. Unbounded while the
// program runs (the worker may still use what the caller frees next); at shut-down false once
// the wait is over, with the thread counted as abandoned.
template <class Word>
bool WaitWorkerStopped(volatile Word* state) {
  const DWORD start = GetTickCount();
  while (*state != 3) {
    if (GiveUpWaitingFor(start)) return false;
    PumpMessages(10);
  }
  return true;
}
